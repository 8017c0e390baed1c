#!/bin/sh
# A self-joining set with recovery files made by par2cmdline, for catstub's rebuild tests: catstub.exe,
# the piece header and 400000 bytes of data in pieces of 60000 bytes, then "_Split#.par2" and volumes of
# 4000-byte slices. The large file is kept as "original" to compare with.
set -eu
catstub=$1
out=$2
rm -rf "$out"
# Without par2cmdline there is no set: the tests that need it are skipped.
if ! command -v par2 >/dev/null; then
    mkdir -p "$out"
    exit 0
fi
mkdir -p "$out/set"
cd "$out"
# Fixed bytes: the same set on every build.
i=0
while [ $i -lt 3700 ]; do
    printf 'recovery-test-%06d-0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!#%%&()*+,-./:;<=>?@[]^_{}~\n' $i
    i=$((i + 1))
done | head -c 400000 >original
# The CRC-32 of the data as "%X": gzip's trailer holds it, least significant byte first.
crc=$(gzip -c original | tail -c 8 | head -c 4 | od -An -tu4 | tr -d ' ')
printf '%X#movie.avi;' "$crc" >header
cat "$catstub" header original >whole
split -b 60000 -d -a 3 whole set/_Split#
mv 'set/_Split#000' 'set/_Split#000.exe'
rm whole header
cd set
par2 c -q -q -s4000 -c40 -n4 -a '_Split#.par2' -- _Split#* >/dev/null
