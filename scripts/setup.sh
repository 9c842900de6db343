#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing:
# with apt-get when run as root, through sudo when it is there, otherwise it
# names the command to run and stops. With everything installed it prints
# nothing and costs one dpkg-query call.
#
#   scripts/setup.sh           what building, running and testing need
#   scripts/setup.sh --package and what building and checking the Debian package needs
#   scripts/setup.sh --ci      and what the CI run needs besides (the package included)
#
# VARDELO_SKIP_SETUP=1 skips the check (a machine that is not Debian, with
# the tools installed by other means).
set -euo pipefail

[ "${VARDELO_SKIP_SETUP:-}" = 1 ] && exit 0
here=${BASH_SOURCE[0]%/*}
[ "$here" = "${BASH_SOURCE[0]}" ] && here=.
ci=0 package=0
case ${1:-} in
  --ci) ci=1 package=1 ;;
  --package) package=1 ;;
esac

wanted=()
while read -r name tag _; do
  case $name in '' | '#'*) continue ;; esac
  [ "$tag" = ci ] && [ $ci = 0 ] && continue
  [ "$tag" = package ] && [ $package = 0 ] && continue
  wanted+=("$name")
done <"$here/packages.txt"

say() { echo "vardelo set-up: $*" >&2; }

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
  say "needs Debian 12 (dpkg-query and apt-get); install these packages by other means: ${wanted[*]}"
  say "then run with VARDELO_SKIP_SETUP=1"
  exit 1
fi

# Prints the wanted packages that are not installed, one per line.
missing_packages() {
  local installed=" " status name
  while read -r status name; do
    [ "$status" = ii ] && installed+="$name "
  done < <(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${wanted[@]}" 2>/dev/null || true)
  for name in "${wanted[@]}"; do
    [[ $installed == *" $name "* ]] || echo "$name"
  done
}

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && exit 0

install=(apt-get install -y --no-install-recommends "${missing[@]}")
if [ "$(id -u)" = 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  say "missing packages; as root, run: ${install[*]}"
  exit 1
fi

say "installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Without network the package lists may still do; the install decides.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq || say "apt-get update failed, trying with the package lists there are"
if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "${install[@]}" -qq; then
  say "could not install ${missing[*]} (no network or no package source?); run: ${install[*]}"
  exit 1
fi
mapfile -t still < <(missing_packages)
if [ ${#still[@]} -gt 0 ]; then
  say "still missing after apt-get: ${still[*]}; run: apt-get install -y --no-install-recommends ${still[*]}"
  exit 1
fi
