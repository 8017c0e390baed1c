#!/usr/bin/env bash
# Fendrik's recovery files against par2cmdline-turbo in one run, on one random file (1 GiB), for
# floppy-sized and 64 MiB pieces, recovery for 10 % of the pieces, best of `runs` each:
#   recovery part (split with recovery - plain split) / turbo `par2 c` with the same slices;
#   split with recovery / plain split;
#   `fendrik verify` with the index / without it (CRC-32 only);
#   `fendrik verify` / turbo `par2 v`;
#   `fendrik repair` of 10 % missing pieces / turbo `par2 r`.
# Each program checks and repairs the set with its own recovery files. Not a test.
# BUILD_ROOT picks the build folder; TURBO the turbo binary (default: ../shared/peers/par2-turbo beside the
# tree: the binary itself); BENCH_BYTES the file size; BENCH_RUNS the runs per measurement; TURBO_BENCH_SIZES the piece sizes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$top/build}
file_bytes=${BENCH_BYTES:-1073741824}
runs=${BENCH_RUNS:-3}
turbo=${TURBO:-$top/../shared/peers/par2-turbo}
fendrik=$BUILD_ROOT/native/bin/fendrik
tool=$BUILD_ROOT/native/bench/split_bench_tool

if [ ! -x "$turbo" ]; then
    echo "  par2cmdline-turbo is not at $turbo: no comparison with it (TURBO= names its binary)"
    turbo=
fi
ninja -C "$BUILD_ROOT/native" split_bench_tool fendrik >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/turbo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c "$file_bytes" /dev/urandom >"$work/large.bin"
source "$top/bench/best_time.sh"

# "text: A s / B s = R×", or why there is no ratio; target is the issue's bound, shown beside it.
line() { # text, numerator, denominator, target
    if [ -z "$2" ] || [ -z "$3" ]; then
        echo "  $1: not measured"
        return
    fi
    awk -v t="$1" -v a="$2" -v b="$3" -v g="$4" 'BEGIN {
        r = a / b
        printf "  %s: %.2f s / %.2f s = %.2f× (target <= %s×: %s)\n", t, a, b, r, g, r <= g ? "met" : "not met"
    }'
}

# The pieces every tenth of which is moved away into saved/, so both programs find the same damage.
damage() { # folder
    local n f
    for n in $(seq 1 10 "$pieces" | head -n "$missing"); do
        f=$(printf '_Split#%03d' "$n")
        if [ -f "$1/$f" ]; then mv "$1/$f" "$work/saved/"; fi
    done
}
restore() { # folder
    rm -f "$1"/_Split#*.1 "$1"/_Split#*.damaged
    for f in "$work"/saved/*; do [ -e "$f" ] && { rm -f "$1/$(basename "$f")"; mv "$f" "$1/"; }; done
    return 0
}

bench_size() { # piece size
    local size=$1 plain with slice count turbo_c verify_with verify_without turbo_v ours theirs
    cd "$work" && rm -rf f t saved && mkdir f t saved
    cd f
    plain=$(best 'rm -f _Split#*' "$tool" split ../large.bin "$size")
    with=$(best 'rm -f _Split#*' "$tool" recovery ../large.bin "$size" 10)
    rm -f _Split#* && "$tool" recovery ../large.bin "$size" 10 >"$work/out" 2>/dev/null
    read -r _ slice _ count _ reread < <(grep '^slice' "$work/out")
    pieces=$(ls _Split#[0-9][0-9][0-9] | wc -l)
    missing=$(((pieces + 9) / 10))
    echo "$((file_bytes / 1048576)) MiB file, $pieces pieces of $size bytes, recovery for 10 % ($count slices of $slice):"
    # The first piece's place in the set is known only at the end; the pieces it moves are read back and
    # summed again (a quarter of them on average): the split's time depends on the file.
    echo "  the split read back $((reread / 1048576)) MiB: the first piece and the pieces its place moved"
    for p in _Split#[0-9][0-9][0-9]; do ln "$p" "../t/$p"; done
    if [ -n "$turbo" ]; then
        cd ../t
        turbo_c=$(best 'rm -f ./*.par2' "$turbo" c -q -q -s"$slice" -c"$count" -n1 -a _Split#.par2 -- _Split#[0-9][0-9][0-9])
        cd ../f
    fi
    line "recovery part / turbo par2 c" "$(awk -v a="$with" -v b="$plain" 'BEGIN { printf "%.3f", a - b }')" \
        "${turbo_c:-}" 0.5
    line "split with recovery / plain split" "$with" "$plain" "$([ "$size" -lt 16777216 ] && echo 5 || echo 2)"
    verify_with=$(best '' "$fendrik" verify _Split#000 --quiet)
    mkdir ../aside && mv ./*.par2 ../aside/
    verify_without=$(best '' "$fendrik" verify _Split#000 --quiet)
    mv ../aside/* . && rmdir ../aside
    line "verify with the index / without" "$verify_with" "$verify_without" 2
    if [ -n "$turbo" ]; then
        turbo_v=$(cd ../t && best '' "$turbo" v -q -q _Split#.par2)
        line "verify / turbo par2 v" "$verify_with" "$turbo_v" 0.5
    fi
    ours=$(best 'restore .; damage .' "$fendrik" repair _Split#000 --yes --quiet)
    restore .
    if [ -n "$turbo" ]; then
        cd ../t
        theirs=$(best 'restore .; damage .' "$turbo" r -q -q _Split#.par2)
        restore .
        cd ../f
    fi
    line "repair of $missing missing pieces / turbo par2 r" "$ours" "${theirs:-}" 0.5
}

echo "  load average before: $(cut -d' ' -f1-3 /proc/loadavg); best of $runs"
echo "  SIMD paths here: $("$tool" paths 2>/dev/null)"
crc=$("$tool" crc "$work/large.bin" 2>/dev/null)
if [ "${#crc}" -lt 8 ]; then
    # The header's 8 placeholder digits then move every piece's bounds: the split writes every piece twice.
    echo "  this file's CRC-32, $crc, has fewer than 8 digits (1 file in 16): every split writes its pieces twice"
fi
for size in ${TURBO_BENCH_SIZES:-1457664 67108864}; do
    bench_size "$size"
done
echo "  load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
