#include "recovery/chunk_hashing.h"

#include <algorithm>

#include "core/crc32.h"
#include "core/par2_layout.h"
#include "recovery/md5_lanes.h"

namespace {

// A slice ends in zeros up to the slice size: its MD5 and CRC-32 count them.
void EndSlice(PieceSums& sums, uint32_t slice, uint64_t sliceSize) {
    Md5Zeros(sums.slice, sliceSize - sums.sliceFed);
    const uint32_t crc = ~Crc32Zeros(sums.sliceCrc, sliceSize - sums.sliceFed);
    par2::PutSliceMd5(sums.checksums.data(), slice, sums.slice.Final().data());
    par2::PutSliceCrc(sums.checksums.data(), slice, crc);
    sums.sliceCrc = 0xFFFFFFFFu;
    sums.sliceFed = 0;
}

} // namespace

void HashChunks(const HashedChunk* chunks, size_t count, uint64_t sliceSize) {
    // A piece's streams take one chunk per round, so that no hasher is in two lanes at once.
    std::vector<size_t> round(count);
    std::vector<const PieceSums*> seen;
    size_t rounds = 0;
    for (size_t i = 0; i < count; ++i) {
        round[i] = static_cast<size_t>(std::count(seen.begin(), seen.end(), chunks[i].piece));
        seen.push_back(chunks[i].piece);
        rounds = std::max(rounds, round[i] + 1);
    }
    std::vector<Md5*> hashers;
    std::vector<const uint8_t*> data;
    std::vector<size_t> lens;
    for (size_t r = 0; r < rounds; ++r) {
        hashers.clear();
        data.clear();
        lens.clear();
        for (size_t i = 0; i < count; ++i) {
            if (round[i] != r)
                continue;
            const HashedChunk& chunk = chunks[i];
            PieceSums& piece = *chunk.piece;
            auto add = [&](Md5* hasher) {
                hashers.push_back(hasher);
                data.push_back(chunk.data);
                lens.push_back(chunk.len);
            };
            if (chunk.intoPiece) {
                if (piece.headFed < par2::kHashedHead) {
                    const size_t n =
                        static_cast<size_t>(std::min<uint64_t>(chunk.len, par2::kHashedHead - piece.headFed));
                    piece.head.Update(chunk.data, n);
                    piece.headFed += n;
                }
                add(&piece.file);
            }
            if (chunk.intoSlice) {
                piece.sliceCrc = Crc32Combine(piece.sliceCrc, chunk.crc, chunk.len);
                piece.sliceFed += chunk.len;
                add(&piece.slice);
            }
        }
        Md5SideBySide(hashers.data(), data.data(), lens.data(), hashers.size());
        for (size_t i = 0; i < count; ++i)
            if (round[i] == r && chunks[i].intoSlice && chunks[i].endsSlice)
                EndSlice(*chunks[i].piece, chunks[i].slice, sliceSize);
    }
}
