#!/bin/sh
# Runs every test program of one build folder and adds its counts to a summary file.
#
#   scripts/run-tests.sh BUILD_DIR SUMMARY_FILE [--wine]
#
# Each program writes a GoogleTest XML report; a program that ends without one (a crash)
# counts as one failure. The summary file gets one line "passed failed" per program.
set -u

build_dir=$1
summary=$2
use_wine=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
results="$build_dir/test-results"
rm -rf "$results"
mkdir -p "$results"

if [ "$use_wine" = "--wine" ]; then
    . "$here/wine-env.sh"
    wine_start "$build_dir"
    trap wine_stop EXIT INT TERM
fi

while IFS= read -r program; do
    [ -z "$program" ] && continue
    name=$(basename "$program" .exe)
    report="$results/$name.xml"
    echo "== $name"
    if [ "$use_wine" = "--wine" ]; then
        # Run from the results folder so that the report path is a plain relative one.
        (cd "$results" && "$WINE" "$program" --gtest_brief=1 --gtest_output="xml:$name.xml" 2>&1 |
            iconv -f CP932 -t UTF-8 -c)
    else
        "$program" --gtest_brief=1 --gtest_output="xml:$report" 2>&1
    fi
    if [ -f "$report" ]; then
        line=$(grep -m1 '<testsuites' "$report")
        tests=$(echo "$line" | sed -n 's/.* tests="\([0-9]*\)".*/\1/p')
        failures=$(echo "$line" | sed -n 's/.* failures="\([0-9]*\)".*/\1/p')
        disabled=$(echo "$line" | sed -n 's/.* disabled="\([0-9]*\)".*/\1/p')
        echo "$((tests - failures - disabled)) $failures" >>"$summary"
    else
        echo "!! $name ended without a report (crashed?)"
        echo "0 1" >>"$summary"
    fi
done <"$build_dir/test-programs.txt"
