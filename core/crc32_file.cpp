// CRC-32 of a whole file, read in large blocks.
#include "core/crc32.h"
#include "platform/read_handle.h"

std::optional<uint32_t> Crc32::FileCrc(const char* path) {
    ReadHandle file(path);
    if (!file.IsOpen())
        return std::nullopt;
    // On the stack: catstub has no allocator to spare, and 64 KiB keeps the
    // reads large enough that the disk, not the calls, sets the pace.
    uint8_t block[64 * 1024];
    for (;;) {
        uint32_t got = 0;
        if (!file.Read(block, sizeof block, &got))
            return std::nullopt;
        if (got == 0)
            break;
        Update(block, got, true);
    }
    return Value();
}
