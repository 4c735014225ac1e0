#!/bin/sh
# The main job: install, build, then run zelrun on the example scripts against
# local HTTP and FTP servers.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cleanup() {
  "$root/cmake/wineserver.sh" stop "$build/wineprefix" || true
  "$root/tests/servers/servers.sh" stop "$build/servers" || true
}
trap cleanup INT TERM
"$root/cmake/wineserver.sh" start "$build/wineprefix"
"$root/tests/servers/servers.sh" start "$build/servers" >/dev/null
set +e
"$root/scripts/run-examples.sh" "$build" "$build/servers/servers.env"
status=$?
cleanup
exit $status
