#!/bin/sh
# Installs the Debian packages the build and the tests need, when some are missing.
#
#   scripts/install-deps.sh [PACKAGE...]   the given packages instead of the build's own list
set -eu

PACKAGES="cmake ninja-build g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev \
libsqlite3-dev nlohmann-json3-dev mingw-w64 mingw-w64-tools libwine-dev wine64 xvfb locales \
fonts-ipafont-gothic imagemagick"
[ $# -gt 0 ] && PACKAGES="$*"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
