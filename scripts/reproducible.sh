#!/usr/bin/env bash
# Checks that the programs are reproducible: builds the last commit twice, from
# two copies of its tree in two folders of different names, without the compiler
# cache, and compares Fendrik.exe, catstub.exe and fendrik-cli.exe of both Windows
# builds and the native fendrik byte for byte. One line per program, then a
# verdict; exit status 0 when every program is identical.
# REPRO_ROOT picks the scratch folder (default: reproducible/ under BUILD_ROOT).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${REPRO_ROOT:-${BUILD_ROOT:-$top/build}/reproducible}
commit=$(git -C "$top" rev-parse HEAD)
# Whatever a compiler or packer stamps with a date takes the last commit's.
SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct)
export SOURCE_DATE_EPOCH CCACHE_DISABLE=1
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
export FENDRIK_NO_CCACHE=1

rm -rf "$root"
sides=(first "second copy")
for side in "${sides[@]}"; do
    mkdir -p "$root/$side/src"
    git -C "$top" archive "$commit" | tar -x -C "$root/$side/src"
    for build in win32 native win64; do
        BUILD_ROOT="$root/$side/build" FENDRIK_PROGRAMS_ONLY=1 "$root/$side/src/scripts/build.sh" "$build" ||
            { echo "reproducible: the $build build in $root/$side failed" >&2; exit 1; }
    done
done

echo "commit $commit, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
differ=0
for program in win32/bin/Fendrik.exe win32/bin/catstub.exe win32/bin/fendrik-cli.exe \
               win64/bin/Fendrik.exe win64/bin/catstub.exe win64/bin/fendrik-cli.exe native/bin/fendrik; do
    a="$root/${sides[0]}/build/$program"
    b="$root/${sides[1]}/build/$program"
    if cmp -s "$a" "$b"; then
        echo "identical  $(sha256sum "$a" | cut -d' ' -f1)  $program"
    else
        differ=$((differ + 1))
        echo "DIFFERENT  $(cmp -l "$a" "$b" 2>/dev/null | wc -l) bytes differ  $program"
    fi
done
if [ "$differ" -gt 0 ]; then
    echo "reproducible: $differ of 7 programs differ between the two builds"
    exit 1
fi
echo "reproducible: all 7 programs are byte-identical in both builds"
rm -rf "$root"
