#!/bin/sh
# Times zeldict importing many customer rows (100,000 unless told) into a fresh sample database,
# with the release build, and prints the rate. Usage: scripts/bench-import.sh [ROWS]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
rows=${1:-100000}
if [ $((rows % 7919)) -eq 0 ]; then
    echo "bench-import: choose a number of rows that is not a multiple of 7919" >&2
    exit 2
fi
zeldict="${ZELDICT:-$root/build/native-release/tools/zeldict/zeldict}"
samples="$root/samples"
[ -x "$zeldict" ] || (cd "$root" && cmake --build --preset native-release --target zeldict >/dev/null)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Codes in a scrambled order (7919 is prime, so unless ROWS is a multiple of it, i * 7919 mod
# ROWS visits every code once), names
# that spread over the keys, a memo on every row.
awk -v rows="$rows" 'BEGIN {
    print "Code,Name,Kana,Kind,Phone,Joined,Credit,Active,Rank,Memo"
    for (i = 1; i <= rows; i++) {
        code = (i * 7919) % rows + 1
        printf "%d,Customer %06d,カスタマー%d,%s,03-%04d-%04d,20%02d/%02d/%02d,%d.%02d,%d,%d,memo of %d\n",
            code, (i * 31) % rows, i % 977, substr("ABC", i % 3 + 1, 1), i % 10000, code % 10000,
            i % 20, i % 12 + 1, i % 28 + 1, i % 1000000, i % 100, i % 2, i % 5, code
    }
}' >"$work/Customer.csv"

"$zeldict" --profile-dir "$samples/config" create "$samples/sales/schema.json" "$work/db" >/dev/null
start=$(date +%s.%N)
"$zeldict" --profile-dir "$samples/config" import "$work/db" Customer "$work/Customer.csv" >/dev/null
end=$(date +%s.%N)
"$zeldict" check "$work/db" >/dev/null
awk -v rows="$rows" -v start="$start" -v end="$end" 'BEGIN {
    seconds = end - start
    printf "imported %d rows in %.2f s: %.0f rows/s\n", rows, seconds, rows / seconds
}'
