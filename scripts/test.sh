#!/usr/bin/env bash
# Builds everything and runs all tests headless, after installing what is
# missing on a Debian 12 machine (scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
