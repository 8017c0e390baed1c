#!/usr/bin/env bash
# Times the rebuild of 10 % missing pieces of a 1 GiB floppy-size set against `par2 r` on the same set
# (recovery files made by `par2 c` with one slice per piece, 10 % of the pieces' worth of recovery slices),
# and `fendrik verify` of the intact set with its recovery files against the same verify without them
# (the cost of the MD5 checks). Best of `runs` each. Not a test.
# BUILD_ROOT picks the build folder, as for scripts/build.sh; BENCH_BYTES the file size.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$top/build}
size=1457664
runs=${BENCH_RUNS:-2}
file_bytes=${BENCH_BYTES:-1073741824}
fendrik=$BUILD_ROOT/native/bin/fendrik

work=$(mktemp -d "${TMPDIR:-/tmp}/recovery-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/set"
cd "$work/set"
head -c "$file_bytes" /dev/urandom >"$work/large.bin"
"$fendrik" split "$work/large.bin" --size "$size" --quiet >/dev/null
rm "$work/large.bin"
pieces=$(ls _Split#* | wc -l)
missing=$(((pieces + 9) / 10))
par2 c -q -s"$size" -c"$missing" -n1 -a _Split#.par2 -- _Split#* >/dev/null
mkdir "$work/saved"

# The pieces every tenth one of which is moved away, so both rebuilders find the same damage.
damage() {
    rm -f _Split#*.damaged _Split#*.1
    for n in $(seq 1 10 "$pieces" | head -n "$missing"); do
        f=$(printf '_Split#%03d' "$n")
        [ -f "$f" ] && mv "$f" "$work/saved/"
    done
}
restore() { rm -f _Split#*.damaged _Split#*.1; mv "$work/saved"/* . 2>/dev/null || true; }

source "$top/bench/best_time.sh"
ratio() { awk -v t="$1" -v a="$2" -v b="$3" 'BEGIN { printf "  %s: %.2f×\n", t, a / b }'; }

echo "  $pieces pieces of $size bytes, $missing missing, slices of $size bytes, $missing recovery slices"
ours=$(best "restore; damage" "$fendrik" repair _Split#000 --quiet)
theirs=$(best "restore; damage" par2 r -qq _Split#.par2)
restore
echo "  fendrik repair: $ours s, par2 r: $theirs s (multiply-and-add path: see the GF(2^16) rates)"
ratio "rebuild of 10 % missing pieces / par2 r" "$ours" "$theirs"

with=$(best "" "$fendrik" verify _Split#000 --quiet)
mkdir "$work/aside"
mv ./*.par2 "$work/aside/"
without=$(best "" "$fendrik" verify _Split#000 --quiet)
echo "  verify with recovery files: $with s, without: $without s"
ratio "verify with recovery files / without" "$with" "$without"
