#!/bin/sh
# The main job: install, build, then run zelrun on the example scripts against
# local HTTP and FTP servers.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
trap '"$root/cmake/wineserver.sh" stop "$build/wineprefix"; "$root/tests/servers/servers.sh" stop "$build/servers"' EXIT
"$root/cmake/wineserver.sh" start "$build/wineprefix"
"$root/tests/servers/servers.sh" start "$build/servers" >/dev/null
"$root/scripts/run-examples.sh" "$build" "$build/servers/servers.env"
