#!/usr/bin/env bash
# Builds Fendrik and starts it under Wine. On a working X display it runs until
# the user closes it; without one it runs on a virtual display, saves a
# screenshot of the window to $BUILD_ROOT/fendrik-window.png and ends.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}

"$top/scripts/setup.sh"
"$top/scripts/build.sh" win32
exe="$BUILD_ROOT/win32/bin/Fendrik.exe"

source "$top/scripts/wine_env.sh"
trap wine_cleanup EXIT

if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
    prepare_wine_prefix
    wine "$exe"
    exit 0
fi

start_virtual_display
prepare_wine_prefix
timeout -k 5 120 wine "$exe" >/dev/null 2>&1 &
fendrik=$!
# Wait until the dialog is on screen (bounded), then photograph the screen.
caption="Splitting a large file into small files OR Concatenate files"
for _ in $(seq 1 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "$caption" && break
    sleep 0.5
done
sleep 1
import -display "$DISPLAY" -window root "$BUILD_ROOT/fendrik-window.png"
echo "run: screenshot in $BUILD_ROOT/fendrik-window.png"
wineserver -k >/dev/null 2>&1 || true
wait "$fendrik" 2>/dev/null || true
