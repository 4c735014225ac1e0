#!/bin/sh
# The whole test suite: install, build, then ctest under Wine with the local servers.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cleanup() {
  # The rig fixture stops these itself; this catches an interrupted run.
  "$root/cmake/wineserver.sh" stop "$build/wineprefix" || true
  "$root/tests/servers/servers.sh" stop "$build/servers" || true
}
trap cleanup INT TERM
cd "$build"
set +e
ctest -j"$(nproc)" --timeout 300 --output-on-failure "$@"
status=$?
cleanup
exit $status
