#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine (scripts/setup.sh), builds
# the program and starts it against the built-in simulated terminal
# holding the demonstration configuration. Everything it uses lives under
# build/demo/: the settings and the port map (com1 = simulated terminal) in
# build/demo/config, the files you save in build/demo/work. Your own settings
# are not touched.
#
#   ./scripts/run.sh           start; the simulated terminal keeps what you wrote
#   ./scripts/run.sh --fresh   start with the demonstration configuration again
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
root=$PWD
demo=$root/build/demo

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vardelo

if [ "${1:-}" = "--fresh" ]; then
  rm -rf "$demo"
  shift
fi
mkdir -p "$demo/config/vardelo" "$demo/work"
# The simulated terminal's memory: it starts as the demonstration
# configuration and keeps whatever the program writes into it.
[ -f "$demo/terminal.QLV" ] || cp demo/DEMO.QLV "$demo/terminal.QLV"
printf 'com1=sim:%s\n' "$demo/terminal.QLV" >"$demo/config/vardelo/ports.map"
# The demonstration file with its comments, to open with File > Load.
for f in DEMO.QLV DEMO.BGT; do
  [ -f "$demo/work/$f" ] || cp "demo/$f" "$demo/work/$f"
done

export XDG_CONFIG_HOME=$demo/config
cd "$demo/work"
exec "$root/build/vardelo" "$@"
