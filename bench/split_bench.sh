#!/usr/bin/env bash
# Times the split and the header join on one 1 GiB file against the standard
# tools in the same run (best of 3 each): the split with a header and the CRC-32
# not yet known against GNU `split -b 1457664`, and the header join with its
# check against `cat _Split#* > out`. Also prints the bytes each job read (the
# kernel's rchar) as a multiple of the file or set size. Not a test.
# BUILD_ROOT picks the build folder, as for scripts/build.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}
size=1457664
runs=3
file_bytes=1073741824

# The native build as every script makes it.
"$top/scripts/build.sh" native
tool=$BUILD_ROOT/native/bench/split_bench_tool

work=$(mktemp -d "${TMPDIR:-/tmp}/split-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/split" "$work/join"
cd "$work/split"
head -c "$file_bytes" /dev/urandom >large.bin

source "$top/bench/best_time.sh"
rchar() { sed -n 's/^rchar //p' "$work/last.err"; }

split_time=$(best 'rm -f _Split#* x??' "$tool" split large.bin "$size")
split_read=$(rchar)
gnu_split=$(best 'rm -f _Split#* x??' split -b "$size" large.bin)
rm -f x??
"$tool" split large.bin "$size" >/dev/null 2>&1
mv _Split#* "$work/join/"
cd "$work/join"
set_bytes=$(cat _Split#* | wc -c)

join_time=$(best 'rm -f large.bin out' "$tool" join)
join_read=$(rchar)
cat_time=$(best 'rm -f large.bin out' sh -c 'cat _Split#* > out')

awk -v s="$split_time" -v g="$gnu_split" -v j="$join_time" -v c="$cat_time" -v sr="$split_read" \
    -v jr="$join_read" -v fb="$file_bytes" -v sb="$set_bytes" 'BEGIN {
    printf "1 GiB file, %d-byte pieces, best of %d:\n", '"$size"', '"$runs"'
    printf "  split with header, CRC unknown %7.3f s / GNU split -b %d %7.3f s: %.2fx (target <= 1.05x)\n", s, '"$size"', g, s / g
    printf "  header join + verify %7.3f s / cat _Split#* > out %7.3f s: %.2fx (target <= 1.10x)\n", j, c, j / c
    printf "  bytes read by the split: %.2fx the file size\n", sr / fb
    printf "  bytes read by the header join: %.2fx the set size\n", jr / sb
}'
