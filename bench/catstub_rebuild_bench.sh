#!/usr/bin/env bash
# Times catstub (the x86_64 build under wine64) rebuilding 10 % missing floppy-size pieces of a 100 MiB
# self-joining set and joining it, against `fendrik repair` rebuilding the same pieces of the same set
# (recovery files made by `par2 c` with one slice per piece). catstub's time is its own run as the box
# robot measures it, from its start to its last box, without Wine's start-up. Best of `runs` each. Not a test.
# Needs the native build and the win64 one (scripts/build.sh win64); says so and stops when one is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}
size=1457664
runs=${BENCH_RUNS:-2}
file_bytes=${BENCH_CATSTUB_BYTES:-104857600}
fendrik=$BUILD_ROOT/native/bin/fendrik
catstub=$BUILD_ROOT/win64/bin/catstub.exe
timer=$BUILD_ROOT/win64/tests/wine/catstub_rebuild_timer.exe
for needed in "$fendrik" "$catstub" "$timer"; do
    if [ ! -f "$needed" ]; then
        echo "  catstub rebuild skipped: $needed was not built (scripts/build.sh win64)"
        exit 0
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/catstub-bench.XXXXXX")
source "$top/scripts/wine_env.sh"
trap 'wine_cleanup; rm -rf "$work"' EXIT
start_virtual_display && use_wine win64 && prepare_wine_prefix || {
    echo "  catstub rebuild skipped: wine64 or its display could not start"
    exit 0
}
mkdir "$work/set" "$work/saved"
cd "$work/set"
head -c "$file_bytes" /dev/urandom >"$work/large.bin"
"$fendrik" split "$work/large.bin" --size "$size" --quiet >/dev/null
rm "$work/large.bin"
# The first piece made self-joining: catstub's image, then the piece as the split wrote it.
cat "$catstub" _Split#000 >_Split#000.exe
rm _Split#000
pieces=$(ls _Split#* | wc -l)
missing=$(((pieces + 9) / 10))
par2 c -q -s"$size" -c"$missing" -n1 -a _Split#.par2 -- _Split#* >/dev/null

damage() {
    for n in $(seq 1 10 "$pieces" | head -n "$missing"); do
        f=$(printf '_Split#%03d' "$n")
        [ -f "$f" ] && mv "$f" "$work/saved/"
    done
}
restore() { rm -f large.bin _Split#*.rebuilt; mv "$work/saved"/* . 2>/dev/null || true; }

source "$top/bench/best_time.sh"
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
ours=
for _ in $(seq "$runs"); do
    restore
    damage
    sync
    t=$("$WINE" "$timer" "$(windows_path "$work/set/_Split#000.exe")" "$(windows_path "$work/set")" 2>"$work/boxes") || {
        echo "  catstub did not rebuild and join the set:" >&2
        cat "$work/boxes" >&2
        exit 1
    }
    wine_kill
    if [ -z "$ours" ] || awk -v a="$t" -v b="$ours" 'BEGIN { exit !(a < b) }'; then ours=$t; fi
done
theirs=$(best "restore; damage" "$fendrik" repair _Split#000.exe --quiet)
restore
echo "  $pieces pieces of $size bytes, $missing missing, slices of $size bytes, $missing recovery slices"
echo "  catstub (x86_64, wine64) rebuild and join: $ours s, fendrik repair: $theirs s"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "  catstub rebuild and join / fendrik repair: %.2f×\n", a / b }'
