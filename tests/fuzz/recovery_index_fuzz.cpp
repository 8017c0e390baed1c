// catstub's index reader on any recovery file, fed in blocks of an input-chosen size, with the slice check of
// every piece it describes: an index it accepts keeps each piece's slices inside its table, counted as the
// set's slice size says, and the check of a piece ends, whatever the slice size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/recovery_index.h"
#include "core/slice_check.h"
#include "tests/fuzz/par2_fuzz_input.h"

namespace {

void Require(bool rule) {
    if (!rule)
        std::abort();
}

// Large: in static storage, as catstub keeps it.
RecoveryIndexReader g_reader;

// The piece as the input's prefix makes it, or, for a piece longer than that, its recorded length of it
// when that is small enough to feed.
void CheckPiece(const RecoveryIndex& index, int n, const uint8_t* data) {
    const IndexedPiece& piece = index.piece[n];
    Require(piece.slices == par2::SlicesOf(piece.length, index.sliceSize));
    Require(piece.firstSlice + uint64_t{piece.slices} <= kIndexMaxSlices);
    size_t len = n < static_cast<int>(fuzz_input::kPieces) ? fuzz_input::PieceLength(data, n) : 0;
    if (piece.length <= (1u << 16))
        len = static_cast<size_t>(piece.length);
    const std::vector<uint8_t> bytes = fuzz_input::PieceBytes(n, len);
    SliceCheck check(&index, n);
    check.Feed(bytes.data(), bytes.size());
    const SliceVerdict state = check.Finish();
    Require(state == SliceVerdict::Intact || state == SliceVerdict::Damaged || state == SliceVerdict::WrongSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < fuzz_input::kPrefix)
        return 0;
    const std::vector<uint8_t> index = fuzz_input::RecoveryBytes(data, size);
    new (&g_reader) RecoveryIndexReader(); // a fresh reader without a megabyte on the stack
    const size_t block = 1 + data[0] / 2;
    for (size_t at = 0; at < index.size(); at += block)
        g_reader.Feed(index.data() + at, index.size() - at < block ? index.size() - at : block);
    if (!g_reader.Finish())
        return 0;
    const RecoveryIndex& set = g_reader.Index();
    Require(set.sliceSize > 0 && set.sliceSize % 4 == 0 && set.pieces > 0 && set.pieces <= kMaxPieces);
    for (int n = 0; n < set.pieces; ++n)
        CheckPiece(set, n, data);
    return 0;
}
