#!/bin/sh
# Writes docs/reference.md again from the type library of the win64 build (run after changing
# the interface definition; module_tests fail while the document is out of date).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
flock /tmp/zelmor-build.lock cmake --build --preset win64 --target zelref zelmor >/dev/null
. scripts/wine-env.sh
wine_start build/win64
trap wine_stop EXIT
dll=$(find build/win64/module -maxdepth 1 -name zelmor.dll | head -1)
"$WINE" build/win64/module/reference/zelref.exe "$dll" docs/reference.md
echo "docs/reference.md written"
