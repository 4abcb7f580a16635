#!/bin/sh
# Builds the list fill benchmark for Windows (the win64 toolchain with the benchmark programs, in
# build/win64-bench) and runs it once under Wine: what the list controls add to the bare reads
# and LB_ADDSTRING of the same texts, along a key and by a filtered extended operation.
#
#   scripts/bench-lists.sh
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build="$root/build/win64-bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DZELMOR_BENCHMARKS=ON -DZELMOR_TESTS=OFF >/dev/null
cmake --build "$build" --target list_benchmark

. "$here/wine-env.sh"
wine_start "$build"
trap wine_stop EXIT
"$WINE" "$build/controls/bench/list_benchmark.exe"
