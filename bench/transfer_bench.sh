#!/bin/sh
# transfer_bench.sh BUILD: ireaddata of a 256 MiB file from the local HTTP server against
# a bare WinInet loop (both in transfer_bench.exe) and curl -o of the same URL.
# Needs the servers of BUILD/servers running (scripts/run-bench.sh starts them).
set -eu
build=$1
env="$build/servers/servers.env"
. "$env"
mib=${ZELINET_TRANSFER_MIB:-256}
name="bench-$mib.bin"
[ "$(stat -c %s "$HTTP_ROOT/$name" 2>/dev/null || echo 0)" = $((mib * 1048576)) ] ||
  head -c $((mib * 1048576)) /dev/urandom >"$HTTP_ROOT/$name"
out=$(mktemp)
# curl's median of three, in bytes per second.
curl_rate=$(for _ in 1 2 3; do
  curl -s -o "$out" -w '%{speed_download}\n' "http://127.0.0.1:$HTTP_PORT/$name"
done | sort -n | sed -n 2p)
rm -f "$out"
ZEL_SERVERS="$env" "$build/wine-run" "$build/transfer_bench.exe" "$mib" "$curl_rate"
rm -f "$HTTP_ROOT/$name"
