#!/usr/bin/env bash
# Installs what the builds and tests need, only what is missing; silent when all is there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    updated=0
fi

for pkg in cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev \
           g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 \
           wine wine32:i386 xvfb x11-utils imagemagick xxd; do
    have "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
