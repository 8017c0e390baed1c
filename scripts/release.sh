#!/usr/bin/env bash
# Makes the two downloads of this version in dist/: fendrik-VERSION-windows.zip
# (the i686 programs at the top, the x86_64 edition in x86_64/, README.txt, LICENSE and
# SHA256SUMS) and fendrik_VERSION_amd64.deb (the command, its manual page, bash
# and zsh completion and documentation). Builds the programs first (scripts/build.sh),
# and stamps every file with the last commit's time, so that the same commit
# gives the same downloads. DIST picks the output folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$top/build}
dist=${DIST:-$top/dist}
packaging=$top/packaging
umask 022

"$top/scripts/setup.sh" || { echo "release: installing what the release needs failed (scripts/setup.sh)" >&2; exit 1; }
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
for build in win32 native win64; do
    FENDRIK_PROGRAMS_ONLY=1 "$top/scripts/build.sh" "$build" || { echo "release: the $build build failed" >&2; exit 1; }
done

# The version is the one the program reports, which is the CMake project's.
fendrik=$BUILD_ROOT/native/bin/fendrik
version=$("$fendrik" --version | sed -n 's/^fendrik \([0-9][0-9.]*\)$/\1/p')
[ -n "$version" ] || { echo "release: $fendrik --version gave no version" >&2; exit 1; }
commit=$(git -C "$top" rev-parse --short=12 HEAD)
maintainer=${FENDRIK_MAINTAINER:-"The Fendrik developers <fendrik@users.noreply.github.com>"}

stage=$(mktemp -d "${TMPDIR:-/tmp}/fendrik-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT
rm -rf "$dist"
mkdir -p "$dist"

# Every staged file dated by the commit, as zip and dpkg-deb record it.
stamp() { find "$@" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }
# A text with the version filled in.
versioned() { sed "s/@VERSION@/$version/g" "$1"; }

# --- The Windows download ---------------------------------------------------
zipname=fendrik-$version-windows.zip
win=$stage/windows
mkdir -p "$win/x86_64"
for program in Fendrik.exe fendrik-cli.exe catstub.exe; do
    install -m 0644 "$BUILD_ROOT/win32/bin/$program" "$win/$program"
    install -m 0644 "$BUILD_ROOT/win64/bin/$program" "$win/x86_64/$program"
done
# Line ends for Notepad on every Windows.
versioned "$packaging/README-windows.txt" | sed 's/$/\r/' >"$win/README.txt"
sed 's/$/\r/' "$top/LICENSE" >"$win/LICENSE"
files=(Fendrik.exe fendrik-cli.exe catstub.exe README.txt LICENSE x86_64/Fendrik.exe x86_64/fendrik-cli.exe x86_64/catstub.exe)
(cd "$win" && sha256sum "${files[@]}" >SHA256SUMS)
stamp "$win"
# Fixed order, no extra attributes, no folder entries, times in UTC: the same bytes every time.
(cd "$win" && TZ=UTC zip -q -X -D "$dist/$zipname" "${files[@]}" SHA256SUMS)

# --- The Debian package -----------------------------------------------------
arch=$(dpkg --print-architecture)
debname=fendrik_${version}_$arch.deb
root=$stage/deb
doc=$root/usr/share/doc/fendrik
install -d "$root/DEBIAN" "$root/usr/bin" "$root/usr/share/man/man1" "$root/usr/share/bash-completion/completions" \
    "$root/usr/share/zsh/vendor-completions" "$doc"
install -m 0755 "$fendrik" "$root/usr/bin/fendrik"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/fendrik"
versioned "$packaging/fendrik.1" | gzip -9n >"$root/usr/share/man/man1/fendrik.1.gz"
install -m 0644 "$packaging/fendrik.bash-completion" "$root/usr/share/bash-completion/completions/fendrik"
install -m 0644 "$packaging/fendrik.zsh-completion" "$root/usr/share/zsh/vendor-completions/_fendrik"
install -m 0644 "$top/README.md" "$doc/README.md"
versioned "$packaging/copyright" >"$doc/copyright"
{
    echo "fendrik ($version) unstable; urgency=medium"
    echo
    echo "  * Fendrik $version, built from commit $commit."
    echo
    echo " -- $maintainer  $(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"

# The libraries the program needs, as dpkg-shlibdeps finds them.
mkdir -p "$stage/shlibs/debian"
printf 'Source: fendrik\n\nPackage: fendrik\nArchitecture: any\n' >"$stage/shlibs/debian/control"
depends=$(cd "$stage/shlibs" && dpkg-shlibdeps -O -e "$root/usr/bin/fendrik" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "release: dpkg-shlibdeps found no dependencies of fendrik" >&2; exit 1; }
{
    echo "Package: fendrik"
    echo "Version: $version"
    echo "Architecture: $arch"
    echo "Maintainer: $maintainer"
    echo "Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)"
    echo "Depends: $depends"
    echo "Section: utils"
    echo "Priority: optional"
    sed -n '/^Description:/,$p' "$packaging/control"
} >"$root/DEBIAN/control"
(cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum >DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
stamp "$root"
dpkg-deb --root-owner-group -Zxz --build "$root" "$dist/$debname" >/dev/null

(cd "$dist" && sha256sum "$zipname" "$debname" >SHA256SUMS)
echo "release: Fendrik $version from commit $commit in $dist:"
(cd "$dist" && cat SHA256SUMS)
echo "catstub.exe (the first 45056 bytes of every _Split#000.exe): i686 $(sha256sum <"$win/catstub.exe" | cut -d' ' -f1)," \
    "x86_64 $(sha256sum <"$win/x86_64/catstub.exe" | cut -d' ' -f1)"
