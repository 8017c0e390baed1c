#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (plain and under
# AddressSanitizer/UBSan) and the Windows tests under Wine on a virtual display.
# Ends with one line counting the passed and failed tests.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}

"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" || exit 1

passed=0
failed=0
broken=()

# Runs one GoogleTest program and adds its counts; a program that dies or
# times out without its summary counts as one failure.
run_suite() { # label, command...
    local label=$1; shift
    local log="$BUILD_ROOT/logs/$label.log"
    mkdir -p "$BUILD_ROOT/logs"
    "$@" >"$log" 2>&1
    local rc=$?
    tr -d '\r' <"$log" >"$log.txt"
    local p f
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log.txt" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$log.txt" | tail -1)
    p=${p:-0}; f=${f:-0}
    if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then
        f=1
        echo "== $label ended with status $rc before reporting (timeout or crash); see $log"
        tail -20 "$log.txt"
    fi
    [ "$f" -gt 0 ] && { broken+=("$label"); grep -E '^\[  FAILED  \]|Failure|Expected|Which is|actual' "$log.txt" | head -40; }
    echo "$label: $p passed, $f failed"
    passed=$((passed + p))
    failed=$((failed + f))
}

tests_in() { # folder, name pattern
    find "$1" -type f -name "$2" 2>/dev/null | sort
}

for kind in native sanitize; do
    for exe in $(tests_in "$BUILD_ROOT/$kind/tests/native" '*_tests'); do
        run_suite "$kind-$(basename "$exe")" "$exe"
    done
done

source "$top/scripts/wine_env.sh"
trap wine_cleanup EXIT
start_virtual_display || exit 1
prepare_wine_prefix
export FENDRIK_BIN="$BUILD_ROOT/win32/bin"
for exe in $(tests_in "$BUILD_ROOT/win32/tests/wine" '*_tests.exe'); do
    run_suite "wine-$(basename "$exe" .exe)" timeout -k 5 "${WINE_TEST_TIMEOUT:-420}" wine "$exe"
    wineserver -k >/dev/null 2>&1 || true
done

[ ${#broken[@]} -gt 0 ] && echo "failing suites: ${broken[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
