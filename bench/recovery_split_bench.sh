#!/usr/bin/env bash
# Times the split with recovery files for 10 % of the pieces against the same split without them, on
# one 1 GiB file, for floppy-sized and 64 MiB pieces; the recovery part (the difference) against
# `par2 c` with the same slice size and recovery slice count over the same pieces; and the bytes
# the split with recovery files read, as a multiple of the file size. Not a test.
# BUILD_ROOT picks the build folder, as for scripts/build.sh; RECOVERY_BENCH_SIZES the piece sizes.
# The first piece's ID hashes its header, whose CRC-32 is known only at the end, so where that piece
# sorts among the others, and with it how many pieces are read back, differs from file to file.
# RECOVERY_BENCH_PLACEMENTS=N splits N variants of the file (its last bytes differ), each with and
# without recovery files, and reports the variant whose recovery part is the slowest; a variant whose
# CRC-32 has fewer than 8 digits gets a line of its own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$top/build}
file_bytes=1073741824
runs=${RECOVERY_BENCH_RUNS:-2}
placements=${RECOVERY_BENCH_PLACEMENTS:-1}

ninja -C "$BUILD_ROOT/native" split_bench_tool >/dev/null
tool=$BUILD_ROOT/native/bench/split_bench_tool
command -v par2 >/dev/null || { echo "par2 is not installed (scripts/setup.sh installs it)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/recovery-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c "$file_bytes" /dev/urandom >large.bin

# Best wall time in seconds of `runs` runs; the last run's stdout and stderr stay in out/err.
best() {
    local best_ns= start end
    for _ in $(seq "$runs"); do
        rm -f _Split#* && sync
        start=$(date +%s%N)
        "$@" >"$work/out" 2>"$work/err"
        end=$(date +%s%N)
        if [ -z "$best_ns" ] || [ $((end - start)) -lt "$best_ns" ]; then best_ns=$((end - start)); fi
    done
    awk -v ns="$best_ns" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

for size in ${RECOVERY_BENCH_SIZES:-1457664 67108864}; do
    part= short_part= seen=0
    for placement in $(seq "$placements"); do
        # Another file end moves the whole file's CRC-32, and with it the first piece's ID. The split
        # without recovery files splits the same variant: a CRC-32 of fewer than 8 digits (1 file in 16)
        # writes every piece twice, with or without them, and is reported on a line of its own.
        [ "$placement" = 1 ] || head -c 8 /dev/urandom | dd of=large.bin bs=1 seek=$((file_bytes - 8)) conv=notrunc status=none
        this_plain=$(best "$tool" split large.bin "$size")
        this_with=$(best "$tool" recovery large.bin "$size" 10)
        this_part=$(awk -v w="$this_with" -v p="$this_plain" 'BEGIN { printf "%.3f", w - p }')
        this_rchar=$(sed -n 's/^rchar //p' "$work/err")
        read -r _ this_slice _ this_count _ this_reread < <(grep '^slice' "$work/out")
        if awk -v r="$this_rchar" -v rr="$this_reread" -v fb="$file_bytes" 'BEGIN { exit !(r - rr > 1.9 * fb) }'; then
            if [ -z "$short_part" ] || awk -v a="$this_part" -v b="$short_part" 'BEGIN { exit !(a > b) }'; then
                short_part=$this_part
            fi
        elif [ -z "$part" ] || awk -v a="$this_part" -v b="$part" 'BEGIN { exit !(a > b) }'; then
            part=$this_part plain=$this_plain with=$this_with rchar=$this_rchar reread=$this_reread
            seen=$((seen + 1))
        else
            seen=$((seen + 1))
        fi
        slice=$this_slice count=$this_count
    done
    mkdir -p par && rm -f par/* && mv _Split#[0-9][0-9][0-9] par/ && cd par
    start=$(date +%s%N)
    par2 c -q -q -s"$slice" -c"$count" -n1 -a _Split#.par2 -- _Split#[0-9][0-9][0-9] >/dev/null
    end=$(date +%s%N)
    cd "$work"
    awk -v p="${plain:-0}" -v w="${with:-0}" -v c="$(( (end - start) ))" -v s="$size" -v sl="$slice" -v n="$count" \
        -v r="${rchar:-0}" -v rr="${reread:-0}" -v fb="$file_bytes" -v seen="$seen" -v sp="$short_part" 'BEGIN {
        c /= 1e9
        printf "1 GiB file, %d-byte pieces, recovery for 10 %% of them (%d slices of %d bytes):\n", s, n, sl
        if (seen > 1) printf "  (the slowest of %d placements of the first piece)\n", seen
        if (seen > 0) {
            printf "  split with recovery %7.3f s / without %7.3f s: %.2fx\n", w, p, w / p
            printf "  recovery part %7.3f s / par2 c -s%d -c%d %7.3f s: %.2fx (target <= 0.2x)\n", w - p, sl, n, c, (w - p) / c
            printf "  bytes read by the split with recovery: %.2fx the file size (%.0f MB read back from the pieces)\n", r / fb, rr / 1e6
        }
        if (sp != "")
            printf "  a CRC-32 of fewer than 8 digits, every piece written twice: recovery part %7.3f s: %.2fx\n", sp, sp / c
    }'
done
