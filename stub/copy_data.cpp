// Block copy between a piece and the rejoined file.
#include "stub/copy_data.h"

bool ReadUpTo(ReadHandle& from, uint8_t* buffer, uint32_t len, uint32_t* got) {
    *got = 0;
    while (*got < len) {
        uint32_t n = 0;
        if (!from.Read(buffer + *got, len - *got, &n))
            return false;
        if (n == 0)
            break;
        *got += n;
    }
    return true;
}

CopyResult CopyRest(ReadHandle& from, OutputFile& to, uint8_t* block, uint32_t blockSize, Crc32& crc,
                    SliceCheck& check) {
    CopyResult result;
    for (;;) {
        uint32_t got = 0;
        if (!from.Read(block, blockSize, &got)) {
            result.failure = CopyFailure::Read;
            result.error = from.LastError();
            return result;
        }
        if (got == 0)
            return result;
        crc.Update(block, got, true);
        check.Feed(block, got);
        if (!to.Write(block, got)) {
            result.failure = CopyFailure::Write;
            result.error = to.LastError();
            return result;
        }
    }
}
