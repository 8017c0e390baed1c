// Each piece of a set against its recovery index: intact, missing, damaged (which slices), truncated, or
// found under another name in the folder; then whether the recovery slices present can rebuild the rest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "core/outcome.h"
#include "recovery/recovery_set.h"

namespace par2 {

// What the check found of one piece of the set in its folder.
enum class PieceCondition {
    Intact,
    Missing,
    Damaged,   // present at its length or longer, some slices bad
    Truncated, // shorter than recorded
    Renamed,   // absent or bad under its name, its whole content found under another name in the folder
};

struct PieceCheck {
    size_t file = 0; // index into RecoverySet::files
    PieceCondition state = PieceCondition::Intact;
    std::string path;                  // where it should be; empty for a name no file of the folder may have
    std::string foundPath;             // Renamed: where its content is
    uint64_t presentLength = 0;        // bytes of the file under its name (0 when missing)
    uint32_t crcRegister = 0xFFFFFFFF; // CRC-32 register of those bytes, not inverted: a join's CRC-32 from it
    std::vector<bool> goodSlices;      // per slice of the piece: usable as it is
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
    // Pieces up to the highest of the set or the folder that are missing and that the set does not
    // describe: nothing can rebuild them.
    std::vector<std::string> undescribed;

    bool Complete() const;     // every file of the set intact under its name, and no piece undescribed
    bool PiecesIntact() const; // every piece the set describes intact under its name: what a join needs
    bool Rebuildable() const { return slicesNeeded <= set.recovery.size() && undescribed.empty(); }
    uint32_t Count(PieceCondition state) const;
    // How many more lost pieces of the set's largest the recovery slices left over could restore.
    uint32_t SparePieces() const;
};

enum class CheckOutcome {
    Checked,
    NoIndex,
    IndexIncomplete,
    NoMatch, // check.set.indexFiles: recovery files of sets of pieces, none describing a piece present
    TwoSets, // check.set.indexFiles and otherIndexFiles: two sets describing different pieces present
    Refused, // refusal: an entry named like a piece that is no regular file, or two files of one number
    Stopped,
};

struct CheckResult {
    CheckOutcome outcome = CheckOutcome::NoIndex;
    SetCheck check;
    std::vector<std::string> otherIndexFiles;
    Outcome refusal = told::PieceNotRegular{};
};

// Finds the folder's pieces by the piece-name rule, refuses an entry named like a piece that is no regular
// file before anything is opened, reads the index that describes the pieces present and checks every file
// it lists (each read once). Throws FileException when a file cannot be read.
CheckResult CheckPieces(const std::string& folder, const ProgressCallback& progress);

} // namespace par2
