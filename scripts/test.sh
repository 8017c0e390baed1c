#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (plain and under
# AddressSanitizer/UBSan), the fuzz targets (header reader, recovery-file readers), and the Windows
# tests under Wine on a virtual display: those of the x86_64 build always (wine64), those of the i686 build where this
# machine executes 32-bit programs (wine32). Ends with one line counting the
# passed and failed tests, read from each program's JSON report; a program that
# ran no test fails (scripts/test_suites.sh).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}

"$top/scripts/setup.sh" || { echo "test: installing what the tests need failed (scripts/setup.sh)" >&2; exit 1; }
source "$top/scripts/wine_env.sh"
# The i686 programs are built everywhere; their Windows tests only where they can run.
wine32_usable || export FENDRIK_WIN32_PROGRAMS_ONLY=1
"$top/scripts/build.sh" || { echo "test: the build failed (scripts/build.sh)" >&2; exit 1; }

source "$top/scripts/test_suites.sh"

# Setup on a failing package mirror, with stand-ins for apt-get and dpkg: no network needed.
run_check setup-standin failed "$top/tests/scripts/setup_standin_test.sh"

for kind in native sanitize; do
    tests_in "$BUILD_ROOT/$kind/tests/native" '*_tests' suites
    [ ${#suites[@]} -gt 0 ] || { echo "test: no $kind test program was built"; failed=$((failed + 1)); broken+=("$kind"); }
    for exe in "${suites[@]}"; do
        run_suite "$kind-$(basename "$exe")" native_path "$exe"
    done
done
# ThreadSanitizer on the same tests; the multi-gigabyte split and join are left out to keep the run short
# (their threads are the ones the small cases already drive).
tests_in "$BUILD_ROOT/tsan/tests/native" '*_tests' suites
[ ${#suites[@]} -gt 0 ] || { echo "test: no tsan test program was built"; failed=$((failed + 1)); broken+=("tsan"); }
for exe in "${suites[@]}"; do
    run_suite "tsan-$(basename "$exe")" native_path env TSAN_OPTIONS="halt_on_error=1 exitcode=66" "$exe" \
        --gtest_filter='-SplitLargeFileTest.*:Crc32File.LargeFileMatchesTheOracle'
done

# The fuzz targets, each for a bounded time from its corpus in the tree (new inputs go to a scratch folder):
# the header reader about 30 s, the two recovery-file readers about 20 s each. An input that takes longer
# than the timeout or more memory than the cap fails like a crash or a broken rule; each target that fails
# counts as one failure.
fuzz_once() { # target, corpus folder in tests/fuzz, seconds
    local name=${1%_fuzz} exe="$BUILD_ROOT/fuzz/tests/fuzz/$1"
    local scratch="$BUILD_ROOT/fuzz/corpus-$name"
    rm -rf "$scratch" && mkdir -p "$scratch"
    [ -x "$exe" ] && "$exe" -max_total_time="$3" -timeout=5 -rss_limit_mb=1024 -artifact_prefix="$BUILD_ROOT/fuzz/" \
        "$scratch" "$top/tests/fuzz/$2"
}
run_fuzz() { run_check "fuzz-${1%_fuzz}" "failed (or was not built)" fuzz_once "$@"; }
run_fuzz header_reader_fuzz corpus "${FUZZ_SECONDS:-30}"
run_fuzz recovery_set_fuzz recovery_corpus "${FUZZ_SECONDS:-20}"
run_fuzz recovery_index_fuzz recovery_corpus "${FUZZ_SECONDS:-20}"

trap wine_cleanup EXIT
if ! start_virtual_display; then
    echo "test: no virtual display, so no Windows test could run"
    failed=$((failed + 1))
    broken+=("virtual-display")
fi

# The Windows suites of one build under its own Wine and prefix; a prefix that
# cannot be made counts as one failure.
run_windows_suites() { # win32 | win64
    local arch=$1
    use_wine "$arch" && prepare_wine_prefix || {
        echo "test: the $arch Windows tests could not start (Wine or its prefix)"
        failed=$((failed + 1))
        broken+=("$arch-wine")
        return
    }
    export FENDRIK_BIN="$BUILD_ROOT/$arch/bin"
    local exe suites
    tests_in "$BUILD_ROOT/$arch/tests/wine" '*_tests.exe' suites
    [ ${#suites[@]} -gt 0 ] || { echo "test: no $arch test program was built"; failed=$((failed + 1)); broken+=("$arch"); }
    # The split and join past 4 GiB writes about 8 GiB: once per run, by the i686 programs (the ones
    # users copy) where they run, else by the x86_64 ones.
    local only=()
    [ "$arch" = win64 ] && [ "$win32_ran" = 1 ] && only=(--gtest_filter=-FendrikCli.AFileOverFourGibibytesSplitsAndRejoinsWhole)
    for exe in "${suites[@]}"; do
        run_suite "$arch-$(basename "$exe" .exe)" wine_drive_path timeout -k 5 "${WINE_TEST_TIMEOUT:-420}" "$WINE" "$exe" "${only[@]}"
        wine_kill
    done
}

if [ -n "${DISPLAY:-}" ]; then
    win32_ran=0
    if wine32_usable; then
        run_windows_suites win32
        win32_ran=1
    else
        echo "test: the 32-bit (i686) Windows tests were skipped: $WINE32_REASON; the x86_64 build's run instead"
    fi
    run_windows_suites win64
fi

# The downloads, made by scripts/release.sh from the builds above into a folder of the tests'
# own; their checks run the x86_64 command from the zip under wine64.
if DIST="$BUILD_ROOT/dist" "$top/scripts/release.sh" >"$BUILD_ROOT/logs/release.log" 2>&1 &&
        use_wine win64 && prepare_wine_prefix; then
    run_suite shipping native_path env WINE="$WINE" "$top/tests/shipping/check_downloads.sh" "$BUILD_ROOT/dist"
    wine_kill
else
    echo "== shipping: the downloads could not be made (scripts/release.sh) or Wine could not start; see $BUILD_ROOT/logs/release.log"
    tail -20 "$BUILD_ROOT/logs/release.log"
    failed=$((failed + 1))
    broken+=("shipping")
fi
# Two clean builds without the compiler cache take longer than the rest of the suite, so the
# reproducibility check runs only when asked: FENDRIK_TEST_REPRODUCIBLE=1.
if [ "${FENDRIK_TEST_REPRODUCIBLE:-}" = 1 ]; then
    run_check reproducible "failed: the programs differ between two builds" "$top/scripts/reproducible.sh"
fi

[ ${#broken[@]} -gt 0 ] && echo "failing suites: ${broken[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
