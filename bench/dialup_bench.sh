#!/bin/sh
# dialup_bench.sh BUILD: the dial-up bench, with the RAS double installed in the prefix.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
"$root/tests/ras_double/install.sh" "$build/wineprefix" "$build"
"$build/wine-run" "$build/dialup_bench.exe"
