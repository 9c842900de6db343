#!/usr/bin/env bash
# Builds the Debian package vardelo_VERSION_amd64.deb in the top folder,
# after installing what is missing on a Debian 12 machine (scripts/setup.sh
# --package), and checks it with lintian, and its desktop entry and AppStream
# metadata with their validators. It builds in build/, the folder of
# ./scripts/test.sh, so that what was built there is not built again, and
# only what the package holds (not the tests).
#
#   ./scripts/package.sh
#   sudo apt install ./vardelo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --package

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vardelo_installed
rm -rf build/package
(cd build && cpack -G DEB --config CPackConfig.cmake >/dev/null)
deb=$(find build/package -maxdepth 1 -name 'vardelo_*.deb' -print -quit)
[ -n "$deb" ] || { echo "package.sh: cpack made no package" >&2; exit 1; }
rm -f vardelo_*.deb
mv "$deb" .
deb=${deb##*/}

# The checks: lintian fails on an error (warnings are listed in the README),
# the validators on anything but a remark.
lintian --fail-on error "$deb"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
dpkg-deb --extract "$deb" "$staging"
desktop-file-validate "$staging"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$staging"/usr/share/metainfo/*.metainfo.xml
echo "$deb"
