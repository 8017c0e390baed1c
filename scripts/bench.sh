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

# Each benchmark runs this often, interleaved with the others; the best run is
# reported, as the machine is shared and other work only ever slows a run down.
repetitions=${BENCH_REPETITIONS:-5}

# Prints "name GB/s" for the best run of each benchmark in a Google Benchmark
# CSV report, and "name skipped: reason" for a benchmark that could not run.
csv_rates() { # csv file
    awk -F, 'NR > 1 {
        gsub(/"/, "", $1)
        if ($1 ~ /_(mean|median|stddev|cv)$/) next
        if (!($1 in order)) { order[$1] = n++; names[n - 1] = $1 }
        if ($9 == "true") skipped[$1] = $10
        else if ($6 > best[$1]) best[$1] = $6
    }
    END {
        for (i = 0; i < n; ++i) {
            name = names[i]
            if (name in best) printf "%s %.2f\n", name, best[name] / 1e9
            else printf "%s skipped: %s\n", name, skipped[name]
        }
    }' "$1"
}

# The rate of one named row, empty when absent or skipped.
rate_of() { # rates file, name
    awk -v n="$2" '$1 == n && $2 != "skipped:" { print $2 }' "$1"
}

# Runs one Google Benchmark program into logs/NAME.csv, prints its best rates and keeps them in
# logs/NAME.rates.
run_rates() { # program name
    local csv="$BUILD_ROOT/logs/$1.csv" rates="$BUILD_ROOT/logs/$1.rates"
    mkdir -p "$BUILD_ROOT/logs"
    "$bench_dir/$1" --benchmark_format=csv --benchmark_repetitions="$repetitions" \
        --benchmark_enable_random_interleaving=true >"$csv" 2>"$BUILD_ROOT/logs/$1.err" || {
        cat "$BUILD_ROOT/logs/$1.err" >&2
        return 1
    }
    csv_rates "$csv" >"$rates"
    awk '{ if ($2 == "skipped:") print "  " $0; else printf "  %-22s %7.2f GB/s\n", $1, $2 }' "$rates"
}

# --- CRC-32: every path against the plain memory-read rate ---
crc_section() {
    echo "== CRC-32 over a buffer larger than the caches"
    if [ ! -x "$bench_dir/crc_bench" ]; then
        echo "crc_bench was not built (is Google Benchmark installed?)" >&2
        return 1
    fi
    local csv="$BUILD_ROOT/logs/crc_bench.csv" rates="$BUILD_ROOT/logs/crc_bench.rates"
    run_rates crc_bench || return 1
    local fast memory isal
    fast=$(rate_of "$rates" crc32/fast)
    memory=$(rate_of "$rates" memory/read)
    isal=$(rate_of "$rates" isal/crc32_gzip_refl)
    echo "  the fast path here: $(fast_path_name "$csv")"
    ratio "CRC-32 fast path / memory read" "$fast" "$memory"
    ratio "CRC-32 fast path / ISA-L crc32_gzip_refl" "$fast" "$isal"
}

# Prints "text: X.XX×", or says why there is no ratio.
ratio() { # text, numerator, denominator
    if [ -n "$2" ] && [ -n "$3" ]; then
        awk -v t="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%s: %.2f×\n", t, a / b }'
    else
        echo "$1: not measured (a row is missing or skipped)"
    fi
}

# The label of the fast row: the path the dispatch chose on this processor.
fast_path_name() { # csv file
    awk -F, '{ gsub(/"/, "") } $1 == "crc32/fast" && $8 != "" { print $8; exit }' "$1"
}

crc_section || status=1

# --- Split and join: the engines against GNU split and cat on one 1 GiB file ---
split_section() {
    echo "== Split and header join of 1 GiB against GNU split and cat"
    "$top/bench/split_bench.sh"
}

split_section || status=1

# --- Recovery files: the arithmetic's paths and MD5 against a memory read, the split with them, the rebuild ---
recovery_section() {
    echo "== GF(2^16) multiply-and-add per path (16 KiB blocks in the caches) and MD5, against a memory read"
    if [ ! -x "$bench_dir/recovery_bench" ]; then
        echo "recovery_bench was not built (is Google Benchmark installed?)" >&2
        return 1
    fi
    local rates="$BUILD_ROOT/logs/recovery_bench.rates"
    run_rates recovery_bench || return 1
    local memory
    memory=$(rate_of "$rates" memory/read)
    for path in $(awk '$1 ~ /^gf16(-working)?\// && $2 != "skipped:" { print $1 }' "$rates"); do
        ratio "$path / memory read" "$(rate_of "$rates" "$path")" "$memory"
    done
    ratio "MD5 / memory read" "$(rate_of "$rates" md5)" "$memory"
    echo "== Split with recovery files for 10 % of the pieces, against the split without and par2 c"
    # Four variants of the file: where the first piece sorts, and so what is read back, differs.
    RECOVERY_BENCH_PLACEMENTS=${RECOVERY_BENCH_PLACEMENTS:-4} "$top/bench/recovery_split_bench.sh"
    echo "== Rebuild of 10 % missing pieces of 1 GiB against par2 r; verify with and without recovery files"
    "$top/bench/rebuild_bench.sh"
    echo "== catstub rebuilding 10 % missing pieces of a 100 MiB self-joining set, against fendrik repair"
    "$top/bench/catstub_rebuild_bench.sh"
}

recovery_section || status=1

# --- Recovery files against par2cmdline-turbo, the fastest PAR2 program: create, verify, repair ---
turbo_section() {
    echo "== Split with recovery files, verify and repair of 1 GiB against par2cmdline-turbo"
    "$top/bench/turbo_bench.sh"
}

turbo_section || status=1

exit $status
