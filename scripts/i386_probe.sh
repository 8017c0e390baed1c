# Sourced by the scripts: whether this machine executes 32-bit (i386) programs at all. Some
# kernels cannot (no IA-32 emulation), and there wine32 is of no use. Found by trying: a
# 96-byte static i386 program that only exits with status 42, written out here byte by byte so
# that no 32-bit toolchain or library is needed to ask.
runs_i386() {
    local dir status
    dir=$(mktemp -d "${TMPDIR:-/tmp}/fendrik-i386.XXXXXX") || return 1
    # ELF header (52 bytes), one loadable segment (32), then: mov eax,1; mov ebx,42; int 0x80.
    printf '%b' \
        '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
        '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
        '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
        '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
        '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
        '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$dir/probe"
    chmod +x "$dir/probe"
    "$dir/probe" >/dev/null 2>&1
    status=$?
    rm -rf "$dir"
    [ "$status" -eq 42 ]
}

# The probe's answer, or FENDRIK_RUNS_I386=yes|no where a test stands in for the machine.
runs_i386_here() {
    case "${FENDRIK_RUNS_I386:-}" in
    yes) return 0 ;;
    no) return 1 ;;
    *) runs_i386 ;;
    esac
}
