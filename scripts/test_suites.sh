# Sourced by scripts/test.sh: runs GoogleTest programs and counts their results
# from each program's own JSON report, never from its console text. Needs BUILD_ROOT.
# A suite fails when a test fails, when the program ends without a report
# (crash, timeout) or with a failing status, and when it ran no test at all.

passed=0
failed=0
broken=()

# The JSON report of one program: "<passed> <failed> <skipped>", or nothing when it is unreadable.
report_counts() { # json file
    jq -r '[.testsuites[].testsuite[]] as $t
        | ($t | map(select((.failures // []) | length > 0)) | length) as $f
        | ($t | map(select(.result == "SKIPPED" and ((.failures // []) | length == 0))) | length) as $s
        | ($t | map(select(.status == "RUN" and .result != "SKIPPED" and ((.failures // []) | length == 0))) | length) as $p
        | "\($p) \($f) \($s)"' "$1" 2>/dev/null
}

# The SIMD paths a program's report shows: its "EveryPath/<Family>Path" suites hold one instance per path
# ("<case>/<path>"), skipped where the processor lacks the path. "ran: ...; skipped: ...", or nothing.
report_paths() { # json file
    jq -r '[.testsuites[] | select(.name | startswith("EveryPath/"))
            | (.name | sub("^EveryPath/"; "") | sub("Path$"; "")) as $family
            | .testsuite[] | {path: ($family + " " + (.name | sub("^.*/"; ""))), skipped: (.result == "SKIPPED")}]
        | select(length > 0)
        | group_by(.path) | map({path: .[0].path, ran: (map(.skipped | not) | any)})
        | "ran: \(map(select(.ran).path) | join(", ") | if . == "" then "none" else . end); "
          + "skipped: \(map(select(.ran | not).path) | join(", ") | if . == "" then "none" else . end)"' "$1" 2>/dev/null
}

# Runs one GoogleTest program and adds its counts. report_path turns the report's
# path into the program's spelling of it (a Windows program under Wine wants Z:\...).
run_suite() { # label, report_path function, command...
    local label=$1 report_path=$2; shift 2
    local log="$BUILD_ROOT/logs/$label.log" json="$BUILD_ROOT/logs/$label.json"
    mkdir -p "$BUILD_ROOT/logs"
    rm -f "$json"
    "$@" --gtest_output="json:$("$report_path" "$json")" >"$log" 2>&1 </dev/null
    local rc=$? counts p=0 f=0 s=0 why=""
    tr -d '\r' <"$log" >"$log.txt"
    counts=$(report_counts "$json")
    if [ -z "$counts" ]; then
        why="ended with status $rc without its report (timeout or crash)"
    else
        read -r p f s <<<"$counts"
        if [ "$f" -eq 0 ] && [ "$rc" -ne 0 ]; then
            why="ended with status $rc although no test failed"
        elif [ $((p + f)) -eq 0 ]; then
            why="ran no test"
        fi
    fi
    if [ -n "$why" ]; then
        f=$((f + 1))
        echo "== $label $why; see $log"
        tail -20 "$log.txt"
    fi
    [ "$f" -gt 0 ] && { broken+=("$label"); grep -E '^\[  FAILED  \]|Failure|Expected|Which is|actual' "$log.txt" | head -40; }
    local skipped=""
    [ "$s" -gt 0 ] && skipped=", $s skipped"
    echo "$label: $p passed, $f failed$skipped"
    local paths
    paths=$(report_paths "$json")
    [ -n "$paths" ] && echo "$label SIMD paths $paths"
    passed=$((passed + p))
    failed=$((failed + f))
}

# Runs a command that is one check (a script, a fuzz run) and counts it as one test; its output goes to
# its log, shown in part when it fails.
run_check() { # label, what a failure is called, command...
    local label=$1 why=$2 log="$BUILD_ROOT/logs/$1.log"
    shift 2
    mkdir -p "$BUILD_ROOT/logs"
    if "$@" >"$log" 2>&1; then
        echo "$label: 1 passed, 0 failed"
        passed=$((passed + 1))
    else
        echo "== $label $why; see $log"
        tail -20 "$log" 2>/dev/null
        echo "$label: 0 passed, 1 failed"
        failed=$((failed + 1))
        broken+=("$label")
    fi
}

# Report paths for programs of this system, and for Windows programs under Wine (drive Z: is /).
native_path() { printf '%s' "$1"; }
wine_drive_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# Every file under folder whose name matches pattern, sorted, into the array named by the third argument.
tests_in() { # folder, name pattern, array name
    mapfile -d '' -t "$3" < <(find "$1" -type f -name "$2" -print0 2>/dev/null | sort -z)
}
