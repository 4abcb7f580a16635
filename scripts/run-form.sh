#!/bin/sh
# Runs a form file with zelform under Wine, with zelmor.dll registered, and turns the
# screenshots it takes into PNG files.
#
#   scripts/run-form.sh FORM.json [--script SCRIPT.json] [--screenshot-dir DIR] [--design]
#                       [--events] [--register DLL]...
#
# Without a script, the form is shown once and its screenshot saved as DIR/<form file name>.png.
# Screenshots go to DIR (default: the current folder). --register registers further component
# libraries (a test control, say) besides build/win64/module/zelmor.dll. The exit status is
# zelform's: the number of failed actions, or 126 when the form or script cannot be used.
# The win64 preset must be built first (cmake --build --preset win64).
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build="$root/build/win64"
zelform="$build/host/zelform/zelform.exe"

usage() {
    sed -n '5,6p' "$0" | sed 's/^# \{0,1\}//'
    exit 126
}

[ $# -ge 1 ] || usage
form=$1
shift
script=""
shots=$(pwd)
# One library per line, so that paths with blanks stay whole.
libraries="$build/module/zelmor.dll"
newline='
'

options=""
while [ $# -gt 0 ]; do
    case $1 in
        --script) [ $# -ge 2 ] || usage; script=$2; shift 2 ;;
        --screenshot-dir) [ $# -ge 2 ] || usage; shots=$2; shift 2 ;;
        --register) [ $# -ge 2 ] || usage; libraries="$libraries$newline$2"; shift 2 ;;
        --design|--events) options="$options $1"; shift ;;
        *) usage ;;
    esac
done
saved_ifs=$IFS
IFS=$newline
for file in "$form" ${script:+"$script"} $libraries "$zelform"; do
    if [ ! -f "$file" ]; then
        echo "run-form: $file not found" >&2
        exit 126
    fi
done
IFS=$saved_ifs
mkdir -p "$shots"
absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
form=$(absolute "$form")
shots=$(cd "$shots" && pwd)
if [ -z "$script" ]; then
    # One screenshot of the form as it opens.
    name=$(basename "$form" .json)
    script="$build/run-form-screenshot.json"
    printf '{"actions": [{"action": "screenshot", "file": "%s.bmp"}]}\n' "$name" >"$script"
fi
script=$(absolute "$script")

# zelform writes its bitmaps into a folder of this run's own; only they are converted and moved,
# whatever else lies in the screenshot folder.
bitmaps=$(mktemp -d "$build/run-form-shots.XXXXXX")

. "$here/wine-env.sh"
wine_start "$build" || exit 126
trap 'wine_stop; rm -rf "$bitmaps"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
windows_path() { "$WINE" winepath -w "$1" 2>/dev/null; }

IFS=$newline
for library in $libraries; do
    if ! "$WINE" regsvr32 /s "$(windows_path "$(absolute "$library")")"; then
        echo "run-form: cannot register $library" >&2
        exit 126
    fi
done
IFS=$saved_ifs

output="$build/run-form-output.txt"
# shellcheck disable=SC2086 # the options are words of their own
"$WINE" "$zelform" "$(windows_path "$form")" --script "$(windows_path "$script")" \
    --screenshot-dir "$(windows_path "$bitmaps")" $options >"$output" 2>&1
status=$?
iconv -f CP932 -t UTF-8 -c "$output"

for bitmap in "$bitmaps"/*.bmp; do
    [ -f "$bitmap" ] || continue
    png="$shots/$(basename "${bitmap%.bmp}").png"
    if convert "$bitmap" "$png"; then
        echo "screenshot $png"
    else
        echo "run-form: cannot convert $bitmap" >&2
    fi
done
exit $status
