#!/bin/sh
# The whole test suite: install, build, then ctest under Wine with the local servers
# (the rig fixture inside ctest starts and stops them).
set -eu
. "$(dirname "$0")/common.sh"
prepare
trap stop_rig INT TERM
cd "$build"
set +e
ctest -j"$(nproc)" --timeout 300 --output-on-failure "$@"
status=$?
stop_rig
exit $status
