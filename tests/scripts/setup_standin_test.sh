#!/usr/bin/env bash
# scripts/setup.sh on a mirror that fails, without the network: stand-ins for apt-get, dpkg and
# dpkg-query come first on PATH. `apt-get update` fails for one index, wine32:i386 cannot be
# installed, everything else installs. Setup must end 0 with one line about wine32, and the
# scripts that choose a Wine must then take the x86_64 path. A second run, where a compiler
# cannot be installed, must end setup naming it. Prints what setup printed; exits non-zero on
# the first check that fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/fendrik-setup-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
bin=$scratch/bin
mkdir -p "$bin"
: >"$scratch/installed"

cat >"$bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
state=$(dirname "$0")/..
case "$1" in
update)
    echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
install)
    shift
    for pkg in "$@"; do
        case "$pkg" in
        -*) ;;
        wine32:i386) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
        "${STANDIN_UNINSTALLABLE:-none}") echo "E: Package '$pkg' has no installation candidate" >&2; exit 100 ;;
        esac
    done
    for pkg in "$@"; do case "$pkg" in -*) ;; *) echo "$pkg" >>"$state/installed" ;; esac; done ;;
esac
STANDIN
cat >"$bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
grep -qx -- "${@: -1}" "$(dirname "$0")/../installed" && echo "install ok installed"
STANDIN
cat >"$bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
case "$1" in
--print-foreign-architectures) cat "$(dirname "$0")/../architectures" 2>/dev/null ;;
--add-architecture) echo "$2" >>"$(dirname "$0")/../architectures" ;;
esac
STANDIN
chmod +x "$bin"/*

fail() { echo "FAILED: $*"; exit 1; }
# The machine's own choice of the x86_64 path must not stand in for the one this test plays.
unset FENDRIK_NO_WINE32
run_setup() { # log
    BUILD_ROOT=$scratch/build FENDRIK_APT_WAIT=0 FENDRIK_RUNS_I386=yes PATH="$bin:$PATH" \
        "$top/scripts/setup.sh" >"$1" 2>&1
}

run_setup "$scratch/setup.log"
status=$?
sed 's/^/    /' "$scratch/setup.log"
[ "$status" -eq 0 ] || fail "setup ended $status with wine32 missing"
grep -q '^setup: apt-get update still fails after 3 tries' "$scratch/setup.log" || fail "no line about the failing update"
grep -qx 'setup: wine32 could not be installed (Unable to correct problems, you have held broken packages.); the x86_64 programs will run under wine64 instead' \
    "$scratch/setup.log" || fail "no line about wine32 with apt's reason"
grep -qx wine64 "$scratch/installed" || fail "wine64 was not installed beside the failing wine32"
grep -qx cmake "$scratch/installed" || fail "the build tools were not installed"

# The test and run scripts read what setup recorded.
reason=$(BUILD_ROOT=$scratch/build bash -c "source '$top/scripts/wine_env.sh'; wine32_usable || echo \"\$WINE32_REASON\"")
[ "$reason" = "wine32 could not be installed: Unable to correct problems, you have held broken packages." ] ||
    fail "the scripts would not take the x86_64 path: '$reason'"
echo "    the test script says: the 32-bit (i686) Windows tests were skipped: $reason"

# Without a compiler nothing can be built: setup ends, naming it.
: >"$scratch/installed"
STANDIN_UNINSTALLABLE=g++-mingw-w64-i686 run_setup "$scratch/setup2.log"
status=$?
sed 's/^/    /' "$scratch/setup2.log"
[ "$status" -ne 0 ] || fail "setup ended 0 without a compiler"
grep -q '^setup: the build tools could not be installed: .*g++-mingw-w64-i686' "$scratch/setup2.log" ||
    fail "the failure does not name the compiler"
echo "setup stand-in: every check passed"
