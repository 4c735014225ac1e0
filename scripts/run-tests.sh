#!/bin/sh
# The whole test suite: install, build, then ctest under Wine with the local servers.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
# The wineserver fixture normally stops itself; make sure nothing outlives the run.
trap 'WINEPREFIX="$build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null; "$root/tests/servers/servers.sh" stop "$build/servers"' EXIT
cd "$build"
ctest -j"$(nproc)" --timeout 300 --output-on-failure "$@"
