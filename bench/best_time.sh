# Sourced by the benchmark scripts; needs `runs` and `work`.
# Best wall time in seconds of `runs` runs of a command, each after `prepare` and with the
# previous run's output written back to disk first. A failing run ends the measurement.
best() { # prepare, command...
    local prepare=$1 best_ns= start end
    shift
    for _ in $(seq "$runs"); do
        eval "$prepare"
        sync
        start=$(date +%s%N)
        "$@" >/dev/null 2>"$work/last.err" || { cat "$work/last.err" >&2; return 1; }
        end=$(date +%s%N)
        if [ -z "$best_ns" ] || [ $((end - start)) -lt "$best_ns" ]; then best_ns=$((end - start)); fi
    done
    awk -v ns="$best_ns" 'BEGIN { printf "%.3f", ns / 1e9 }'
}
