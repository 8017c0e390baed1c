#!/bin/sh
# Pads the linked catstub.exe with zero bytes to the fixed image size (a PE
# file with bytes behind its image runs unchanged), or fails the build when
# the program has outgrown that size.
set -eu
image=$1
size=$2
linked=$(stat -c %s "$image")
if [ "$linked" -gt "$size" ]; then
    # Removed so that the next build links again instead of keeping a wrong file.
    rm -f "$image"
    echo "catstub: the linked program is $linked bytes, more than the stub image size of $size bytes" \
        "(kStubImageSize in core/stub_image.h); make catstub smaller" >&2
    exit 1
fi
if [ "$linked" -lt "$size" ]; then
    head -c $((size - linked)) /dev/zero >>"$image"
fi
echo "catstub: linked $linked bytes, padded to $size"
