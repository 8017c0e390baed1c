#!/usr/bin/env bash
# Builds Fendrik and starts it under Wine: the i686 program where this machine
# executes 32-bit programs, else the x86_64 one under wine64. On a working X
# display it runs until the user closes it; without one it runs on a virtual
# display, saves a screenshot of the window to $BUILD_ROOT/fendrik-window.png
# and ends. Every step that fails says which one and why.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}

step=""
fail() { echo "run: $step failed${1:+: $1}" >&2; exit 1; }
trap 'rc=$?; [ $rc -eq 0 ] || echo "run: $step failed (status $rc)" >&2' EXIT

step="installing what Fendrik needs (scripts/setup.sh)"
"$top/scripts/setup.sh"

source "$top/scripts/wine_env.sh"
arch=win64
if wine32_usable; then
    arch=win32
else
    echo "run: $WINE32_REASON; starting the x86_64 Fendrik under wine64" >&2
fi

step="building the $arch Fendrik (scripts/build.sh $arch)"
"$top/scripts/build.sh" "$arch"
exe="$BUILD_ROOT/$arch/bin/Fendrik.exe"
[ -f "$exe" ] || fail "$exe was not built"

trap 'rc=$?; wine_cleanup; [ $rc -eq 0 ] || echo "run: $step failed (status $rc)" >&2' EXIT
step="choosing Wine for the $arch program"
use_wine "$arch" || fail

if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
    step="making the Wine prefix"
    prepare_wine_prefix || fail
    step="running Fendrik"
    "$WINE" "$exe"
    exit 0
fi

step="reading the window's caption from ui/fendrik.rc"
# The caption as the dialog's template in the resource script gives it.
caption=$(sed -n 's/^CAPTION "\(.*\)"[[:space:]]*$/\1/p' "$top/ui/fendrik.rc" | head -1)
[ -n "$caption" ] || fail "it has no CAPTION line"
step="starting a virtual display (Xvfb)"
start_virtual_display || fail
step="making the Wine prefix"
prepare_wine_prefix || fail
step="starting Fendrik under Wine"
timeout -k 5 120 "$WINE" "$exe" >/dev/null 2>&1 </dev/null &
fendrik=$!
# Wait until the dialog is on screen (bounded), then photograph the screen.
shown=no
for _ in $(seq 1 60); do
    xwininfo -root -tree 2>/dev/null | grep -qF "$caption" && { shown=yes; break; }
    kill -0 "$fendrik" 2>/dev/null || fail "Fendrik ended before its window appeared"
    sleep 0.5
done
[ "$shown" = yes ] || fail "the window did not appear within 30 s"
sleep 1
step="taking the screenshot (ImageMagick import)"
import -display "$DISPLAY" -window root "$BUILD_ROOT/fendrik-window.png" || fail
echo "run: screenshot of the $arch Fendrik in $BUILD_ROOT/fendrik-window.png"
wine_kill
wait "$fendrik" 2>/dev/null || true
