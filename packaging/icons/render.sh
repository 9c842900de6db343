#!/usr/bin/env bash
# Renders the PNG sizes of the icon from vardelo.svg, the one drawing. The
# PNGs are committed, so that building needs no SVG renderer; run this after
# changing the drawing (rsvg-convert: Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" vardelo.svg --output "vardelo-$size.png"
done
