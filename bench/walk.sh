#!/bin/sh
# walk.sh BUILD: ilocfindnext over a 20,000-file tree made under BUILD, against a bare loop.
build=$1
"$build/wine-run" "$build/walk_bench.exe" 20000
