// Each piece of a set against its recovery index: intact, missing, damaged (which slices), truncated, or
// found under another name in the folder; then whether the recovery slices present can rebuild the rest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "recovery/recovery_set.h"

namespace par2 {

enum class PieceState {
    Intact,
    Missing,
    Damaged,   // present at its length or longer, some slices bad
    Truncated, // shorter than recorded
    Renamed,   // absent or bad under its name, its whole content found under another name in the folder
};

struct PieceCheck {
    size_t file = 0; // index into RecoverySet::files
    PieceState state = PieceState::Intact;
    std::string path;             // where it should be
    std::string foundPath;        // Renamed: where its content is
    uint64_t presentLength = 0;   // bytes of the file under its name (0 when missing)
    std::vector<bool> goodSlices; // per slice of the piece: usable as it is
    uint32_t BadSlices() const;
};

// A byte range [begin, end) of a piece.
struct ByteRange {
    uint64_t begin = 0, end = 0;
};
// The bad slices of a damaged or truncated piece as byte ranges within its recorded length, runs merged.
std::vector<ByteRange> BadRanges(const PieceCheck& piece, const RecoverySet& set);

struct SetCheck {
    RecoverySet set;
    std::vector<PieceCheck> pieces; // one per set file, in the order of their names
    uint32_t slicesNeeded = 0;      // input slices neither present nor found elsewhere

    bool Complete() const; // every piece intact under its name
    bool Rebuildable() const { return slicesNeeded <= set.recovery.size(); }
    uint32_t Count(PieceState state) const;
};

enum class CheckOutcome { Checked, NoIndex, IndexIncomplete, Stopped };

struct CheckResult {
    CheckOutcome outcome = CheckOutcome::NoIndex;
    SetCheck check;
};

// Reads the folder's index and checks every piece it lists (each piece read once). Throws FileException
// when a file cannot be read.
CheckResult CheckPieces(const std::string& folder, const ProgressCallback& progress);

} // namespace par2
