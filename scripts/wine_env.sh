# Sourced by the scripts that run Windows programs: which Wine this machine can
# run, a Wine prefix of our own for each Windows build (made once, then reused)
# and a virtual X display, all cleaned up on exit. Needs BUILD_ROOT.
#
# Two kinds of machine: where i386 code executes, wine32 runs the i686 build;
# some kernels cannot execute 32-bit programs at all, and there only wine64
# (and so the x86_64 build) can start. The ability is found by trying.

export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='

source "$(dirname "${BASH_SOURCE[0]}")/i386_probe.sh"

XVFB_PID=""
WINE32_REASON=""
WINE=""

# True when the wine32 loader executes here. FENDRIK_NO_WINE32=1 takes the
# 64-bit-only path on purpose. Sets WINE32_REASON when it cannot.
wine32_usable() {
    if [ "${FENDRIK_NO_WINE32:-}" = 1 ]; then
        WINE32_REASON="FENDRIK_NO_WINE32=1 is set"
        return 1
    fi
    local loader=/usr/lib/wine/wine out record="$BUILD_ROOT/setup/wine32-missing"
    # scripts/setup.sh records why it could not install wine32 (a package mirror out of step).
    if [ -f "$record" ]; then
        WINE32_REASON="wine32 could not be installed: $(head -n 1 "$record")"
        return 1
    fi
    if [ ! -e "$loader" ]; then
        if runs_i386_here; then
            WINE32_REASON="wine32 is not installed ($loader is missing)"
        else
            WINE32_REASON="this machine cannot execute 32-bit programs"
        fi
        return 1
    fi
    if ! out=$("$loader" --version 2>&1); then
        WINE32_REASON="this machine cannot execute 32-bit programs ($loader: ${out##*: })"
        return 1
    fi
    return 0
}

# Points WINE, WINEPREFIX and the loader at one Windows build: win32 or win64.
use_wine() { # win32 | win64
    case "$1" in
    win32)
        export WINEARCH=win32 WINEPREFIX="$BUILD_ROOT/wineprefix"
        export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32
        WINE=/usr/lib/wine/wine
        ;;
    win64)
        # /usr/bin/wine picks the wine32 loader whenever it is installed, even
        # where it cannot run: call the 64-bit loader and server by their paths.
        export WINEARCH=win64 WINEPREFIX="$BUILD_ROOT/wineprefix64"
        export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
        WINE=/usr/lib/wine/wine64
        ;;
    *)
        echo "wine_env: unknown Windows build '$1'" >&2
        return 1
        ;;
    esac
    if [ ! -x "$WINE" ]; then
        echo "wine_env: $WINE is missing; scripts/setup.sh installs wine, wine32 and wine64" >&2
        return 1
    fi
}

# The server of the prefix in use: wineserver64 for win64 even where the
# wineserver script would pick another.
wine_server() { "${WINESERVER:-wineserver}" "$@"; }

# Ends every process of the prefix in use.
wine_kill() { [ -n "$WINE" ] && wine_server -k >/dev/null 2>&1 || true; }

wine_cleanup() {
    local arch
    for arch in win32 win64; do
        (use_wine "$arch" >/dev/null 2>&1 && [ -d "$WINEPREFIX" ] && wine_server -k >/dev/null 2>&1) || true
    done
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" >/dev/null 2>&1 || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# Starts Xvfb and exports DISPLAY. The server picks a free display number
# itself and writes it to a descriptor (-displayfd) once it accepts clients, so
# two runs that start together can never claim one number.
start_virtual_display() {
    local number_file number
    number_file=$(mktemp "${TMPDIR:-/tmp}/fendrik-display.XXXXXX") || return 1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        # The number is whole once its line ends.
        if [ "$(wc -l <"$number_file")" -ge 1 ]; then
            number=$(head -n 1 "$number_file")
            rm -f "$number_file"
            export DISPLAY=":$number"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number_file"
    kill "$XVFB_PID" >/dev/null 2>&1 || true
    XVFB_PID=""
    echo "wine_env: could not start a virtual X display (Xvfb -displayfd)" >&2
    return 1
}

# True when path lies inside BUILD_ROOT (not BUILD_ROOT itself), spelled however.
under_build_root() { # path
    local root path
    root=$(realpath -m -- "$BUILD_ROOT") && path=$(realpath -m -- "$1") || return 1
    case "$path" in "$root"/?*) return 0 ;; *) return 1 ;; esac
}

# Makes the prefix in use once; then starts its server with its standard
# streams on /dev/null, since a server started as a side effect of a program
# whose output goes into a pipe keeps that pipe open and its reader waits forever.
# Unmanaged X11 windows close in milliseconds instead of seconds when no
# window manager runs.
prepare_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.fendrik-ready" ]; then
        # A prefix half made is removed and made again: only one of our own.
        if ! under_build_root "$WINEPREFIX"; then
            echo "wine_env: refusing to remove the Wine prefix $WINEPREFIX: it does not lie under $BUILD_ROOT" >&2
            return 1
        fi
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        if ! timeout -k 5 180 "$WINE" wineboot -i >/dev/null 2>&1 </dev/null; then
            echo "wine_env: making the Wine prefix $WINEPREFIX ($WINEARCH) failed" >&2
            wine_server -k >/dev/null 2>&1 || true
            return 1
        fi
        timeout -k 5 60 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >/dev/null 2>&1 </dev/null || true
        wine_server -w >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.fendrik-ready"
    fi
    wine_server -p >/dev/null 2>&1 </dev/null || true
}
