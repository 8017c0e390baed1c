#!/usr/bin/env bash
# Builds the native release folder and runs the benchmarks, one section each,
# printing rates in GB/s (10^9 bytes per second of processor time).
# BUILD_ROOT picks the folder (default: build/ in the tree).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}

"$top/scripts/build.sh" native
bench_dir="$BUILD_ROOT/native/bench"
status=0

# Each benchmark runs this often; the median is reported, as the machine is shared.
repetitions=${BENCH_REPETITIONS:-3}

# Prints "name GB/s" for the median row of each benchmark in a Google Benchmark
# CSV report, and "name skipped: reason" for a benchmark that could not run.
csv_rates() { # csv file
    awk -F, 'NR > 1 {
        gsub(/"/, "", $1)
        if ($9 == "true") { sub(/_median$/, "", $1); if (!seen[$1]++) printf "%s skipped: %s\n", $1, $10 }
        else if ($1 ~ /_median$/) { sub(/_median$/, "", $1); printf "%s %.2f\n", $1, $6 / 1e9 }
    }' "$1"
}

# The rate of one named row, empty when absent or skipped.
rate_of() { # rates file, name
    awk -v n="$2" '$1 == n && $2 != "skipped:" { print $2 }' "$1"
}

# --- CRC-32: every path against the plain memory-read rate ---
crc_section() {
    echo "== CRC-32 over a buffer larger than the caches"
    if [ ! -x "$bench_dir/crc_bench" ]; then
        echo "crc_bench was not built (is Google Benchmark installed?)" >&2
        return 1
    fi
    local csv="$BUILD_ROOT/logs/crc_bench.csv" rates="$BUILD_ROOT/logs/crc_bench.rates"
    mkdir -p "$BUILD_ROOT/logs"
    "$bench_dir/crc_bench" --benchmark_format=csv --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true >"$csv" 2>"$BUILD_ROOT/logs/crc_bench.err" || {
        cat "$BUILD_ROOT/logs/crc_bench.err" >&2
        return 1
    }
    csv_rates "$csv" >"$rates"
    awk '{ if ($2 == "skipped:") print "  " $0; else printf "  %-16s %7.2f GB/s\n", $1, $2 }' "$rates"
    local fast memory
    fast=$(rate_of "$rates" crc32/fast)
    memory=$(rate_of "$rates" memory/read)
    if [ -n "$fast" ] && [ -n "$memory" ]; then
        awk -v f="$fast" -v m="$memory" 'BEGIN { printf "  fast path / memory read: %.2f\n", f / m }'
    fi
}

crc_section || status=1

# --- Split and join: the engines against GNU split and cat on one 1 GiB file ---
split_section() {
    echo "== Split and header join of 1 GiB against GNU split and cat"
    "$top/bench/split_bench.sh"
}

split_section || status=1

exit $status
