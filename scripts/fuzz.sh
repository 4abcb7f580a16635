#!/bin/sh
# Builds the libFuzzer target of the field codecs with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz, apart from the presets, and runs it for a bounded
# time. The corpus it grows is kept in build/fuzz/corpus for the next run.
#
#   scripts/fuzz.sh [SECONDS]   (default 60)
set -eu

seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build="$root/build/fuzz"

"$here/install-deps.sh" cmake ninja-build clang libclang-rt-14-dev

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMOR_FUZZ=ON -DZELMOR_TESTS=OFF >/dev/null
cmake --build "$build" --target field_codecs_fuzz -j2

mkdir -p "$build/corpus"
"$build/fuzz/field_codecs_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$build/corpus"
