# Sourced by the scripts that run Windows programs under Wine. Sets up, inside the build folder,
# a Wine prefix, a private ja_JP.UTF-8 locale (so that the ANSI code page is 932 without touching
# the system) and an Xvfb display of our own, which wine_stop stops by its process id.
# ZELMOR_WINEPREFIX names another prefix, so that two jobs on one build folder do not stop each
# other's Wine server.
#
#   . scripts/wine-env.sh; wine_start build/win64; "$WINE" program.exe; wine_stop

WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
ZELMOR_XVFB_PID=""

wine_start() {
    build_dir=$(cd "$1" && pwd)
    export WINEPREFIX="${ZELMOR_WINEPREFIX:-$build_dir/wineprefix}"
    export LOCPATH="$build_dir/locale"
    if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
        mkdir -p "$LOCPATH"
        localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 || true
    fi
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

    # A display nobody uses: no lock file and no socket. Another script may take the same
    # number at the same moment; then our Xvfb ends at once and the next number is tried.
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "wine-env: Xvfb is not installed" >&2
        return 1
    fi
    display=90
    attempts=0
    while :; do
        attempts=$((attempts + 1))
        if [ $attempts -gt 20 ]; then
            echo "wine-env: no Xvfb display could be started" >&2
            ZELMOR_XVFB_PID=""
            return 1
        fi
        while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
            display=$((display + 1))
        done
        Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        ZELMOR_XVFB_PID=$!
        tries=0
        while [ ! -e "/tmp/.X11-unix/X$display" ] && [ $tries -lt 100 ] &&
            kill -0 "$ZELMOR_XVFB_PID" 2>/dev/null; do
            sleep 0.1
            tries=$((tries + 1))
        done
        sleep 0.2
        if kill -0 "$ZELMOR_XVFB_PID" 2>/dev/null; then break; fi
        display=$((display + 1))
    done
    export DISPLAY=":$display"

    # Keep one server alive across the programs: later starts take a fraction of a second. It
    # and the services wineboot starts must not inherit a test's output pipe, or a reader of
    # that pipe would wait for them.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the Wine prefix in $WINEPREFIX"
        "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
        # No window manager here: Wine draws the frames and title bars itself.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1 || true
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    else
        "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
    fi
}

wine_stop() {
    "$WINESERVER" -k 2>/dev/null || true
    if [ -n "$ZELMOR_XVFB_PID" ]; then
        kill "$ZELMOR_XVFB_PID" 2>/dev/null || true
        wait "$ZELMOR_XVFB_PID" 2>/dev/null || true
        ZELMOR_XVFB_PID=""
    fi
}
