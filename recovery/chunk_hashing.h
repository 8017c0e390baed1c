// The checksums a split's recovery files record of each piece, taken from its chunks as they come: the
// piece's MD5 and that of its first 16 KiB, and each slice's MD5 and CRC-32, zero-padded to the slice size.
// The chunks of many pieces are hashed side by side, each piece's stream and its slice's in lanes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "recovery/md5.h"

struct PieceSums {
    Md5 file;
    Md5 head;
    uint64_t headFed = 0;
    Md5 slice;                       // of the slice under way
    uint32_t sliceCrc = 0xFFFFFFFFu; // its register
    uint64_t sliceFed = 0;
    std::vector<uint8_t> checksums; // the slices' entries of the checksum packet: MD5 and CRC-32 of each
};

struct HashedChunk {
    PieceSums* piece;
    uint32_t slice;
    const uint8_t* data;
    size_t len;
    bool intoPiece; // hashed into the piece's MD5s (the whole and its first 16 KiB)
    bool intoSlice; // into its slice's MD5 and CRC-32
    bool endsSlice; // the slice's last bytes of data: its entry is written, the rest counted as zeros
    uint32_t crc;   // the CRC-32 register of its bytes alone (started at 0xFFFFFFFF), taken while they were fresh
};

// Feeds chunks[0 .. count) to their pieces' sums, each piece's chunks in the order given. A piece's own
// MD5s and its slices' checksums are apart, so two threads may take them.
void HashChunks(const HashedChunk* chunks, size_t count, uint64_t sliceSize);
