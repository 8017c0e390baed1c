#!/usr/bin/env bash
# Checks the downloads that scripts/release.sh made in DIST: the zip's contents
# and checksums, the x86_64 command from the zip splitting and joining under
# wine64 (WINE, from scripts/wine_env.sh's use_wine win64), the package's
# fendrik --version from a scratch root, its manual page and completions (bash, zsh), and
# lintian. Prints a GoogleTest-style summary and, given --gtest_output=json:FILE,
# writes the report in GoogleTest's JSON form, which scripts/test.sh counts.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
dist=${1:?usage: check_downloads.sh DIST [--gtest_output=json:FILE]}
report=""
case "${2:-}" in --gtest_output=json:*) report=${2#--gtest_output=json:} ;; esac
scratch=$(mktemp -d "${TMPDIR:-/tmp}/fendrik-downloads.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
version=$(sed -n 's/^project(Fendrik VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
zip=$dist/fendrik-$version-windows.zip
deb=$dist/fendrik_${version}_amd64.deb

passed=0
failed=()
results=() # one JSON object a check, for the report
# Runs one check; its output is shown only when it fails.
check() { # name: a function of this script, run with set -e
    local log="$scratch/$1.log"
    # Not as an if condition, where set -e would not hold.
    (set -e; "$1") >"$log" 2>&1
    # shellcheck disable=SC2181
    if [ $? -eq 0 ]; then
        echo "[       OK ] shipping.$1"
        passed=$((passed + 1))
        results+=("{\"name\": \"$1\", \"status\": \"RUN\", \"result\": \"COMPLETED\"}")
    else
        sed 's/^/    /' "$log"
        echo "[  FAILED  ] shipping.$1"
        failed+=("$1")
        results+=("{\"name\": \"$1\", \"status\": \"RUN\", \"result\": \"COMPLETED\", \"failures\": [{\"failure\": \"see the log\"}]}")
    fi
}
fail() { echo "$*"; return 1; }

zip_holds_the_programs_and_their_checksums() {
    local want="Fendrik.exe fendrik-cli.exe catstub.exe README.txt LICENSE x86_64/Fendrik.exe x86_64/fendrik-cli.exe x86_64/catstub.exe SHA256SUMS"
    local got
    got=$(unzip -Z1 "$zip" | tr '\n' ' ') || fail "cannot list $zip"
    [ "$got" = "$want " ] || fail "the zip holds: $got"
    unzip -q "$zip" -d "$scratch/zip" || fail "cannot unpack $zip"
    (cd "$scratch/zip" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
    [ "$(wc -l <"$scratch/zip/SHA256SUMS")" -eq 8 ] || fail "SHA256SUMS does not list the 8 other files"
    for stub in catstub.exe x86_64/catstub.exe; do
        [ "$(stat -c %s "$scratch/zip/$stub")" -eq 45056 ] || fail "$stub is not 45056 bytes"
    done
    for program in Fendrik.exe fendrik-cli.exe catstub.exe x86_64/Fendrik.exe; do
        strings -el "$scratch/zip/$program" | grep -qx "$version" || fail "$program carries no version $version"
    done
    grep -q "copy /b" "$scratch/zip/README.txt" || fail "README.txt does not tell how to join with copy /b"
    grep -q "Fendrik $version for Windows" "$scratch/zip/README.txt" || fail "README.txt lacks the version"
    grep -q "_Split#.vol" "$scratch/zip/README.txt" || fail "README.txt does not tell about the recovery files"
    grep -q "MIT licence" "$scratch/zip/README.txt" || fail "README.txt does not name the licence"
    tr -d '\r' <"$scratch/zip/LICENSE" | cmp -s - "$top/LICENSE" || fail "the zip's LICENSE is not the project's"
}

zip_command_splits_and_joins_under_wine() {
    [ -n "${WINE:-}" ] || fail "no Wine given (use_wine win64)"
    local cli="$scratch/zip/x86_64/fendrik-cli.exe" run="$scratch/wine"
    mkdir -p "$run/out"
    head -c 200000 /dev/urandom >"$run/big.bin"
    (cd "$run" && timeout -k 5 120 "$WINE" "$cli" split big.bin --size 64K --self-cat --quiet) ||
        fail "split under Wine failed"
    local pieces=("$run"/_Split#*)
    [ ${#pieces[@]} -eq 4 ] || fail "split wrote: ${pieces[*]}"
    head -c 45056 "$run/_Split#000.exe" | cmp -s - "$scratch/zip/x86_64/catstub.exe" ||
        fail "_Split#000.exe does not begin with the zip's catstub.exe"
    (cd "$run" && timeout -k 5 120 "$WINE" "$cli" join "_Split#002" -C out --quiet) || fail "join under Wine failed"
    cmp "$run/big.bin" "$run/out/big.bin" || fail "the joined file differs"
}

package_runs_from_a_scratch_root() {
    [ "$(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')" = "Package: fendrik Version: $version " ] ||
        fail "package fields: $(dpkg-deb -f "$deb" Package Version)"
    dpkg -x "$deb" "$scratch/root" || fail "dpkg -x failed"
    local said
    said=$("$scratch/root/usr/bin/fendrik" --version) || fail "fendrik --version failed"
    [ "$said" = "fendrik $version" ] || fail "fendrik --version says \"$said\", the project is $version"
    [ -f "$scratch/root/usr/share/bash-completion/completions/fendrik" ] || fail "no bash completion"
    [ -f "$scratch/root/usr/share/zsh/vendor-completions/_fendrik" ] || fail "no zsh completion"
    head -n 1 "$scratch/root/usr/share/zsh/vendor-completions/_fendrik" | grep -qx "#compdef fendrik" ||
        fail "the zsh completion does not begin with #compdef fendrik"
    grep -q "^Fendrik $version:" "$scratch/root/usr/share/doc/fendrik/README.md" ||
        fail "the README does not give the version $version"
    grep -qx "License: Expat" "$scratch/root/usr/share/doc/fendrik/copyright" || fail "the copyright file names no Expat licence"
}

manual_page_renders_and_names_every_option() {
    local page="$scratch/root/usr/share/man/man1/fendrik.1.gz" text="$scratch/man.txt" warnings
    [ -f "$page" ] || fail "no manual page in the package"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man -l failed"
    [ -z "$warnings" ] || fail "man -l warns: $warnings"
    # The words as written, before the page is filled and hyphenated.
    zcat "$page" | sed 's/\\-/-/g' >"$text"
    local word completion="$scratch/root/usr/share/bash-completion/completions/fendrik"
    local zsh="$scratch/root/usr/share/zsh/vendor-completions/_fendrik"
    # Every subcommand and option of the program's own usage, in the page and in both completions.
    for word in $("$scratch/root/usr/bin/fendrik" --help | grep -oE '(^usage: fendrik|^ +fendrik) [a-z]+|--?[a-zA-Z][a-z-]*' |
        sed 's/.*fendrik //' | sort -u); do
        grep -qe "$word" "$text" || fail "the manual page does not name $word"
        [ "$word" = --help ] || [ "$word" = --version ] || [ "$word" = -h ] || grep -qe "$word" "$completion" ||
            fail "the completion does not offer $word"
        grep -qe "$word" "$zsh" || fail "the zsh completion does not offer $word"
    done
    for word in floppy cd dvd fat32 email "EXIT STATUS" EXAMPLES; do
        grep -q "$word" "$text" || fail "the manual page lacks $word"
        case $word in
        *" "* | EXAMPLES) ;;
        *)
            grep -q "$word" "$completion" || fail "the completion lacks $word"
            grep -q "$word" "$zsh" || fail "the zsh completion lacks $word"
            ;;
        esac
    done
}

lintian_reports_no_errors() {
    lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"
}

check zip_holds_the_programs_and_their_checksums
check zip_command_splits_and_joins_under_wine
check package_runs_from_a_scratch_root
check manual_page_renders_and_names_every_option
check lintian_reports_no_errors

echo "[  PASSED  ] $passed tests."
if [ -n "$report" ]; then
    (IFS=,; printf '{"testsuites": [{"name": "shipping", "testsuite": [%s]}]}\n' "${results[*]}") >"$report"
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "[  FAILED  ] ${#failed[@]} tests, listed below:"
    printf '[  FAILED  ] shipping.%s\n' "${failed[@]}"
    exit 1
fi
