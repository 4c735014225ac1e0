#!/bin/sh
# multipart.sh BUILD: icontentfile of a 64 MiB file against a plain read (run by run-bench.sh).
"$1/wine-run" "$1/multipart_bench.exe" 64
