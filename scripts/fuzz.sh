#!/bin/sh
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) in
# build/fuzz, apart from the presets, and runs each for a bounded time: the field codecs, the
# search-condition and field-list parsers and the image file readers. The corpus each grows is
# kept in build/fuzz/corpus/<target> for the next run.
#
#   scripts/fuzz.sh [SECONDS] [TARGET]   (default 60 seconds each, every target)
set -eu

seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build="$root/build/fuzz"

"$here/install-deps.sh" cmake ninja-build clang libclang-rt-14-dev

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMOR_FUZZ=ON -DZELMOR_TESTS=OFF >/dev/null
targets=${2:-"field_codecs_fuzz search_condition_fuzz image_files_fuzz"}
for target in $targets; do
    cmake --build "$build" --target "$target" -j2
    mkdir -p "$build/corpus/$target"
    echo "== $target"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$build/corpus/$target"
done
