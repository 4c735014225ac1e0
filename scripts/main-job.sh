#!/bin/sh
# The main job: install, build, then run zelrun on the example scripts against
# local HTTP and FTP servers.
set -eu
. "$(dirname "$0")/common.sh"
prepare
start_rig
set +e
"$root/scripts/run-examples.sh" "$build" "$build/servers/servers.env"
status=$?
stop_rig
exit $status
