// Piece arithmetic of a split, in 64 bits so that files of 4 GiB and more count right.
#include "split/piece_plan.h"

#include <cstdint>

uint64_t FirstPieceCapacity(uint64_t prefixBytes, int64_t splitSize) {
    if (splitSize <= 0 || prefixBytes >= static_cast<uint64_t>(splitSize))
        return UINT64_MAX;
    return static_cast<uint64_t>(splitSize) - prefixBytes;
}

uint64_t CountPieces(uint64_t prefixBytes, uint64_t fileSize, int64_t splitSize) {
    if (prefixBytes == 0 && fileSize == 0)
        return 0;
    const uint64_t first = FirstPieceCapacity(prefixBytes, splitSize);
    if (fileSize <= first)
        return 1;
    const uint64_t rest = fileSize - first;
    const uint64_t size = static_cast<uint64_t>(splitSize);
    return 1 + rest / size + (rest % size != 0 ? 1 : 0);
}
