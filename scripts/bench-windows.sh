#!/bin/sh
# Builds the Windows benchmark programs (the win64 toolchain with the benchmark programs, in
# build/win64-bench) and runs each once under Wine: list_benchmark (what the list controls add
# to the bare reads and LB_ADDSTRING of the same texts, along a key and by a filtered extended
# operation) and grid_benchmark (what the grid adds to the bare extended fetch of its rows).
#
#   scripts/bench-windows.sh [PROGRAM...]     default: list_benchmark grid_benchmark
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build="$root/build/win64-bench"
programs=${*:-list_benchmark grid_benchmark}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DZELMOR_BENCHMARKS=ON -DZELMOR_TESTS=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" --target $programs

. "$here/wine-env.sh"
wine_start "$build"
trap wine_stop EXIT
for program in $programs; do
    "$WINE" "$(find "$build" -name "$program.exe" | head -n 1)"
done
