#!/bin/sh
# Runs every test program of one build folder and adds its counts to a summary file.
#
#   scripts/run-tests.sh BUILD_DIR SUMMARY_FILE [--wine]
#
# Each program writes a GoogleTest XML report; a program that ends without one (a crash), or
# with a failing exit status although its report shows no failure (a leak found at exit, say),
# counts one failure more. A program gets half an hour. The summary file gets one line
# "passed failed" per program.
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
    wine_start "$build_dir" || exit 1
    trap wine_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
fi

while IFS= read -r program; do
    [ -z "$program" ] && continue
    name=$(basename "$program" .exe)
    report="$results/$name.xml"
    echo "== $name"
    status_file="$results/$name.status"
    if [ "$use_wine" = "--wine" ]; then
        # Run from the results folder so that the report path is a plain relative one; the exit
        # status goes to a file, since the pipe keeps only iconv's.
        (cd "$results" && {
            timeout 1800 "$WINE" "$program" --gtest_brief=1 --gtest_output="xml:$name.xml" 2>&1
            echo $? >"$name.status"
        } | iconv -f CP932 -t UTF-8 -c)
    else
        timeout 1800 "$program" --gtest_brief=1 --gtest_output="xml:$report" 2>&1
        echo $? >"$status_file"
    fi
    status=$(cat "$status_file" 2>/dev/null || echo 1)
    if [ -f "$report" ]; then
        line=$(grep -m1 '<testsuites' "$report")
        tests=$(echo "$line" | sed -n 's/.* tests="\([0-9]*\)".*/\1/p')
        failures=$(echo "$line" | sed -n 's/.* failures="\([0-9]*\)".*/\1/p')
        disabled=$(echo "$line" | sed -n 's/.* disabled="\([0-9]*\)".*/\1/p')
        if [ "$status" -ne 0 ] && [ "$failures" -eq 0 ]; then
            echo "!! $name exited with status $status although every test passed"
            failures=1
        fi
        echo "$((tests - failures - disabled)) $failures" >>"$summary"
    else
        echo "!! $name ended without a report (crashed?)"
        echo "0 1" >>"$summary"
    fi
done <"$build_dir/test-programs.txt"
