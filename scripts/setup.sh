#!/usr/bin/env bash
# Installs what the builds and tests need, only what is missing; silent when all is there.
#
# A package mirror is sometimes out of step (an index of the wrong size, a security update of
# one architecture ahead of the other), so nothing here hangs on one index or one package:
# `apt-get update` is retried and then the indexes at hand are used, and the packages come in
# groups so that one group that cannot be had does not take the others down. Only the build
# tools are indispensable; wine32 is optional, as on a kernel without 32-bit execution, and the
# scripts then take the x86_64 path (scripts/wine_env.sh reads what this script recorded).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}
source "$top/scripts/i386_probe.sh"

# Where wine32 could not be installed, the reason for the scripts that choose a Wine.
wine32_record=$BUILD_ROOT/setup/wine32-missing
export DEBIAN_FRONTEND=noninteractive

build_tools=(cmake ninja-build ccache g++ googletest libgtest-dev libbenchmark-dev libisal-dev nettle-dev
             clang-14 libclang-rt-14-dev
             g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
             g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 binutils)
test_tools=(wine wine64 xvfb x11-utils imagemagick xxd jq par2 zip unzip dpkg-dev man-db groff-base lintian)

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing() { local p; for p in "$@"; do have "$p" || echo "$p"; done; }

# The last error apt printed, on one line: the reason a group could not be had.
apt_reason() { # log file
    local line
    line=$(grep -E '^E: ' "$1" | grep -v 'Some index files failed' | tail -1)
    line=${line#E: }
    [ -n "$line" ] || line=$(grep -v '^\s*$' "$1" | tail -1)
    echo "${line:-apt-get gave no reason}"
}

updated=no
# Reads the package lists once, retrying with a growing wait; a list that still fails leaves
# the ones at hand in use, and only the installs that follow decide.
update_indexes() {
    [ "$updated" = yes ] && return 0
    updated=yes
    local log wait=2 try
    log=$(mktemp)
    for try in 1 2 3; do
        if apt-get update -qq >"$log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' "$log"; then
            rm -f "$log"
            return 0
        fi
        [ "$try" -lt 3 ] && sleep "${FENDRIK_APT_WAIT:-$wait}"
        wait=$((wait * 3))
    done
    echo "setup: apt-get update still fails after 3 tries ($(apt_reason "$log")); going on with the package lists at hand"
    rm -f "$log"
}

# Installs one group; on failure prints nothing and leaves apt's reason in $group_reason.
group_reason=""
install_group() { # packages...
    local log status
    log=$(mktemp)
    apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
    status=$?
    group_reason=$(apt_reason "$log")
    rm -f "$log"
    return $status
}

# Installs a group; when the group as a whole fails, each package on its own, so that one package
# that cannot be had keeps none of the others out. Prints each one that stays missing, with apt's reason.
install_packages() { # packages...
    local pkg
    [ $# -gt 0 ] || return 0
    echo "setup: installing $*"
    update_indexes
    install_group "$@" && return 0
    for pkg in "$@"; do
        install_group "$pkg" || echo "setup: $pkg could not be installed ($group_reason)" >&2
    done
    [ -z "$(missing "$@")" ]
}

# The build tools: without them nothing can be built, so their failure ends setup.
if ! install_packages $(missing "${build_tools[@]}"); then
    echo "setup: the build tools could not be installed: $(missing "${build_tools[@]}" | xargs)" >&2
    exit 1
fi
# Wine for the x86_64 programs, a virtual display and the test and packaging tools: the steps that
# need a missing one fail and say so.
install_packages $(missing "${test_tools[@]}") ||
    echo "setup: the steps that need $(missing "${test_tools[@]}" | xargs) will fail" >&2

# wine32 runs the i686 programs, only where this machine executes 32-bit code at all.
mkdir -p "$(dirname "$wine32_record")"
if [ "${FENDRIK_NO_WINE32:-}" = 1 ] || ! runs_i386_here; then
    rm -f "$wine32_record"
elif ! have wine32:i386; then
    echo "setup: installing wine32:i386"
    group_reason=""
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 || group_reason="dpkg --add-architecture i386 failed"
        updated=no # a new architecture needs its own lists
    fi
    if [ -z "$group_reason" ]; then
        update_indexes
        install_group wine32:i386 && group_reason=""
    fi
    if [ -n "$group_reason" ] || ! have wine32:i386; then
        echo "setup: wine32 could not be installed ($group_reason); the x86_64 programs will run under wine64 instead"
        echo "${group_reason:-apt-get gave no reason}" >"$wine32_record"
    else
        rm -f "$wine32_record"
    fi
else
    rm -f "$wine32_record"
fi
exit 0
