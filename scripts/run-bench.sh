#!/bin/sh
# Runs every benchmark full size under Wine, with the local servers, and prints figures.
set -eu
. "$(dirname "$0")/common.sh"
prepare >/dev/null
start_rig
export ZEL_SERVERS="$build/servers/servers.env"
"$build/wine-run" "$build/dispatch_bench.exe" || true
for script in "$root"/bench/*.sh; do
  [ -e "$script" ] && { sh "$script" "$build" || true; }
done
stop_rig
