// How many pieces a split writes and how much of the large file each one holds.
#pragma once

#include <cstdint>

// Data bytes the first piece can hold: the split size less what precedes the
// data (catstub image and header). When that prefix already fills the split
// size, or the split size is not positive, no boundary is ever reached and the
// first piece takes the whole file: UINT64_MAX stands for "no limit".
uint64_t FirstPieceCapacity(uint64_t prefixBytes, int64_t splitSize);

// Count of pieces a split would write (prefix = image + header bytes); pure.
// Every piece holds at least one byte: a split never leaves an empty piece, so
// an empty file without prefix gives 0.
uint64_t CountPieces(uint64_t prefixBytes, uint64_t fileSize, int64_t splitSize);
