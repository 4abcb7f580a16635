#!/bin/sh
# The main job: builds the sample sales database from its schema and CSV files with zeldict,
# shows its tables and an export, then runs the sales form with the data control under Wine
# (run time with a script, and design time) and saves the screenshots in build/demo.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
demo="$root/build/demo"
samples="$root/samples"
# Every call reads the sample's zelmor.ini, so that import and export agree on its options.
zeldict() { "$root/build/native/tools/zeldict/zeldict" --profile-dir "$samples/config" "$@"; }

rm -rf "$demo"
mkdir -p "$demo"
zeldict create "$samples/sales/schema.json" "$demo/sales"
for table in Customer Product Orders OrderLine; do
    zeldict import "$demo/sales" "$table" "$samples/sales/$table.csv"
done
echo
zeldict tables "$demo/sales"
echo
echo "Customers along the key ByKindName:"
zeldict export "$demo/sales" Customer --key ByKindName --fields Code,Name,Kind,Credit
echo
echo "Active customers of kind A, found by the record manager's extended operations:"
zeldict export "$demo/sales" Customer --fields Code,Name,Credit --where "@Kind = A & @Active = 1"
echo
zeldict check "$demo/sales"

# The form names the database and its pictures by their Windows paths (Wine shows the root as
# drive Z:; Windows takes forward slashes too).
windows_dir="Z:$demo/sales"
sed -e "s#@DDFDIR@#$windows_dir#" -e "s#@SAMPLES@#Z:$samples#" "$samples/forms/sales.json.in" \
    >"$demo/sales.json"
echo
echo "Running the sales form (run time):"
"$here/run-form.sh" "$demo/sales.json" --script "$samples/forms/sales-script.json" \
    --screenshot-dir "$demo"
echo "Running the sales form (design time): a property page open, the form saved again:"
# The saved form (and the pictures it names) goes to the folder the script runs in.
(cd "$demo" && "$here/run-form.sh" "$demo/sales.json" --design \
    --script "$samples/forms/sales-design-script.json" --screenshot-dir "$demo")
echo
echo "Screenshots in $demo:"
ls "$demo"/*.png | sed 's#^.*/#  #'
