# Sourced by the scripts that run Windows programs: a Wine prefix of our own
# (made once, then reused) and a virtual X display, both cleaned up on exit.
# Needs BUILD_ROOT.

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export WINEPREFIX="$BUILD_ROOT/wineprefix"

XVFB_PID=""

wine_cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" >/dev/null 2>&1 || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# Starts Xvfb on the first free display number and exports DISPLAY.
start_virtual_display() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" >/dev/null 2>&1 || true
        XVFB_PID=""
    done
    echo "wine_env: no free X display" >&2
    return 1
}

# Makes the prefix once. Unmanaged X11 windows close in milliseconds instead
# of seconds when no window manager runs.
prepare_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.fendrik-ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        timeout -k 5 180 wineboot -i >/dev/null 2>&1 || true
        timeout -k 5 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.fendrik-ready"
    fi
}
