// Checking one piece against the recovery index while its bytes pass by on their way into the
// rejoined file: each slice's CRC-32 and the piece's length, with no second read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/recovery_index.h"

// What the slice checks say of one piece as it is read: every slice good, one bad, or not the recorded length.
enum class SliceVerdict { Intact, Damaged, WrongSize };

class SliceCheck {
public:
    // Piece n of index, from its first byte; without an index nothing is checked and every piece is intact.
    // With bad, bad[s] tells for each of the piece's slices s whether it failed its check or was not there.
    SliceCheck(const RecoveryIndex* index, int piece, bool* bad = nullptr)
        : index_(index), piece_(index ? &index->piece[piece] : nullptr), bad_(bad) {}
    SliceCheck(const SliceCheck&) = delete;
    SliceCheck& operator=(const SliceCheck&) = delete;

    // The piece's next bytes, every byte of its file (the catstub image and header of a first piece too).
    void Feed(const uint8_t* data, size_t len);
    // After the piece's last byte.
    SliceVerdict Finish();

private:
    void EndSlice();

    const RecoveryIndex* index_;
    const IndexedPiece* piece_;
    bool* bad_;
    uint64_t fed_ = 0;
    uint64_t inSlice_ = 0;
    uint32_t slice_ = 0;
    uint32_t reg_ = 0xFFFFFFFFu;
    bool damaged_ = false;
};
