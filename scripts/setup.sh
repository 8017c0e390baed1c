#!/usr/bin/env bash
# Installs what the builds and tests need, only what is missing; silent when all is there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# wine32 comes from i386 multiarch. It installs on every machine, even where
# the kernel cannot execute it; the scripts then use wine64 alone.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 || { echo "setup: dpkg --add-architecture i386 failed" >&2; exit 1; }
fi

for pkg in cmake ninja-build ccache g++ googletest libgtest-dev libbenchmark-dev libisal-dev \
           g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 \
           g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 \
           wine wine32:i386 wine64 xvfb x11-utils imagemagick xxd jq clang-14 libclang-rt-14-dev \
           nettle-dev par2 zip unzip dpkg-dev binutils man-db groff-base lintian; do
    have "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null || { echo "setup: apt-get update failed" >&2; exit 1; }
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
        { echo "setup: apt-get install ${need[*]} failed" >&2; exit 1; }
fi
