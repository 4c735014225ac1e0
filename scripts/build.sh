#!/bin/sh
# Configures and builds both DLLs (x86_64 for the tests, i686 for shipping), the
# host tools, the tests and the benchmarks into ./build (or $ZELINET_BUILD).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELINET_BUILD:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DZELINET_WERROR=ON >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)"
