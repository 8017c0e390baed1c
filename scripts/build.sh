#!/usr/bin/env bash
# Builds everything: i686 Windows first (its catstub.exe is carried by the native
# fendrik), then native (release, debug with AddressSanitizer/UBSan, and ThreadSanitizer), x86_64 Windows
# (the 64-bit edition) and the fuzz targets (clang).
# BUILD_ROOT picks the folder (default: build/ in the tree); an argument
# (native, sanitize, tsan, win32, win64, fuzz) builds only that one. FENDRIK_WIN32_PROGRAMS_ONLY=1
# builds the i686 programs without their Windows tests (scripts/test.sh sets it where they cannot run);
# FENDRIK_PROGRAMS_ONLY=1 builds only the programs of each build. The compiler cache (ccache) is used
# where it is installed, keyed on paths relative to the tree so that any clone of it shares the cache;
# FENDRIK_NO_CCACHE=1 compiles everything afresh.
# A folder is configured again whenever the cmake arguments below change.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$top/build}
jobs=$(nproc)
cache=()
if [ "${FENDRIK_NO_CCACHE:-}" != 1 ] && command -v ccache >/dev/null; then
    cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=true
fi

# Only these targets of a build (empty: all of it).
targets_of() { # folder
    # The programs alone, as a release ships them (scripts/release.sh, scripts/reproducible.sh).
    if [ "${FENDRIK_PROGRAMS_ONLY:-}" = 1 ]; then
        case "$1" in win32 | win64) echo "Fendrik catstub fendrik-cli" ;; native) echo "fendrik" ;; esac
        return
    fi
    case "$1" in
    # Where no i686 test can run, the programs alone: still compiled and size-checked everywhere.
    win32) [ "${FENDRIK_WIN32_PROGRAMS_ONLY:-}" = 1 ] && echo "Fendrik catstub fendrik-cli" ;;
    fuzz) echo "header_reader_fuzz recovery_set_fuzz recovery_index_fuzz" ;;
    # The tests whose code runs threads (reading ahead, jobs, the recovery passes, the command).
    tsan) echo "core_tests recovery_tests split_tests cat_tests cli_tests fendrik" ;;
    esac
}

build() { # folder, cmake arguments...
    local dir=$1; shift
    set -- "$@" "${cache[@]}"
    # The arguments the folder was configured with; other arguments configure it
    # afresh, so that an option added or dropped here takes effect.
    local stamp="$BUILD_ROOT/$dir/.fendrik-cmake-arguments" args
    args=$(printf '%s\n' "$@")
    local stale=0
    if [ ! -f "$BUILD_ROOT/$dir/build.ninja" ]; then
        stale=1
    elif [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$args" ]; then
        stale=1
        # Afresh: a cached value of an argument dropped here would otherwise stay.
        rm -f "$BUILD_ROOT/$dir/CMakeCache.txt"
    fi
    # Configured again when the stub image exists but the build folder was made without it.
    case " $* " in *" -DFENDRIK_STUB_IMAGE="*)
        [ -f "$stub" ] && ! grep -q stub_image_data "$BUILD_ROOT/$dir/build.ninja" 2>/dev/null && stale=1 ;;
    esac
    if [ "$stale" -eq 1 ]; then
        rm -f "$stamp"
        cmake -G Ninja -S "$top" -B "$BUILD_ROOT/$dir" "$@" >/dev/null
        printf '%s\n' "$args" >"$stamp"
    fi
    # shellcheck disable=SC2046 # the target names are words
    if ! ninja -C "$BUILD_ROOT/$dir" -j "$jobs" $(targets_of "$dir") >"$BUILD_ROOT/$dir/last-build.log" 2>&1; then
        cat "$BUILD_ROOT/$dir/last-build.log" >&2
        echo "build: the $dir build failed" >&2
        exit 1
    fi
}

what=${1:-all}
mkdir -p "$BUILD_ROOT"
stub="$BUILD_ROOT/win32/bin/catstub.exe"
case "$what" in all | win32) build win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" ;; esac
case "$what" in all | native) build native -DCMAKE_BUILD_TYPE=Release -DFENDRIK_STUB_IMAGE="$stub" ;; esac
case "$what" in all | sanitize) build sanitize -DCMAKE_BUILD_TYPE=Debug -DFENDRIK_SANITIZE=ON -DFENDRIK_STUB_IMAGE="$stub" ;; esac
case "$what" in all | tsan) build tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENDRIK_TSAN=ON -DFENDRIK_STUB_IMAGE="$stub" ;; esac
case "$what" in all | win64) build win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" ;; esac
case "$what" in all | fuzz) build fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 -DFENDRIK_FUZZ=ON ;; esac
case "$what" in all | native | sanitize | tsan | win32 | win64 | fuzz) ;; *) echo "build: unknown build '$what' (native, sanitize, tsan, win32, win64, fuzz)" >&2; exit 2 ;; esac
exit 0
