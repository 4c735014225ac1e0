#!/bin/sh
# Runs every benchmark full size under Wine, with the local servers, and prints figures.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
trap '"$root/cmake/wineserver.sh" stop "$build/wineprefix" || true; "$root/tests/servers/servers.sh" stop "$build/servers" || true' EXIT
"$root/cmake/wineserver.sh" start "$build/wineprefix"
"$root/tests/servers/servers.sh" start "$build/servers" >/dev/null
export ZEL_SERVERS="$build/servers/servers.env"
"$build/wine-run" "$build/dispatch_bench.exe"
for script in "$root"/bench/*.sh; do
  [ -e "$script" ] && sh "$script" "$build"
done
exit 0
