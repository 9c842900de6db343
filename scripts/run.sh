#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine (scripts/setup.sh), builds
# the program and starts it against the built-in simulated terminal
# holding the demonstration configuration. Everything it uses lives under
# build/demo/: the settings and the port map (com1 = simulated terminal) in
# build/demo/config, the files you save in build/demo/work. Your own settings
# are not touched.
#
# Beside it a demonstration site in build/demo/site (a copy of demo/site, to
# open with VARDELO > Site...): its terminal Tor 2 is on the network, a
# simulated terminal served by vardelo-cli simulate --listen on a free port of
# this machine for as long as the program runs.
#
#   ./scripts/run.sh           start; the simulated terminal keeps what you wrote
#   ./scripts/run.sh --fresh   start with the demonstration configuration again
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
root=$PWD
demo=$root/build/demo

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vardelo vardelo-cli

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

# The demonstration site, copied whole (its reads and log land beside the
# copy, not in the source tree), with the configuration its Tor 1 names
# (../DEMO.QLV from the site's folder).
mkdir -p "$demo/site"
cp -r demo/site/. "$demo/site/"
for f in DEMO.QLV DEMO.BGT; do
  [ -f "$demo/$f" ] || cp "demo/$f" "$demo/$f"
done
# Tor 2 served on a free port (the system picks it; the server says which),
# its memory kept like the simulated terminal's; stopped when this script ends.
[ -f "$demo/served.QLV" ] || cp demo/DEMO.QLV "$demo/served.QLV"
served_log=$demo/served.log
"$root/build/vardelo-cli" simulate --listen 127.0.0.1:0 "$demo/served.QLV,id=TOR 2 NET 1.00" 2>"$served_log" &
served=$!
trap 'kill "$served" 2>/dev/null; wait "$served" 2>/dev/null' EXIT
trap 'exit 130' INT TERM
address=
for _ in $(seq 100); do
  address=$(grep -o -m 1 'rfc2217://127\.0\.0\.1:[0-9]*' "$served_log" || true)
  [ -n "$address" ] && break
  kill -0 "$served" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$address" ]; then
  sed -i "s|rfc2217://127\.0\.0\.1:4001|$address|" "$demo/site/werk2.toml"
  echo "Demo site: VARDELO > Site..., $demo/site/werk2.toml (Tor 2 served at $address)"
else
  echo "Demo site: VARDELO > Site..., $demo/site/werk2.toml (Tor 2 could not be served: $(cat "$served_log"))" >&2
fi

export XDG_CONFIG_HOME=$demo/config
cd "$demo/work"
"$root/build/vardelo" "$@"
