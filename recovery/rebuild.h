// Rebuilding the missing, damaged and misnamed pieces of a checked set: each to a temporary name, checked
// against its recorded MD5, then under its own name; a damaged original is kept under a name that says so.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "recovery/piece_check.h"

namespace par2 {

// What the solver's buffers may take: the recovery slices in use and one input slice, per range of a slice.
constexpr uint64_t kDefaultRebuildMemory = uint64_t{256} << 20;

enum class RebuildOutcome {
    Rebuilt,
    NothingToDo,
    NotEnough,   // fewer recovery slices than missing slices: nothing written
    Singular,    // no choice of the recovery slices present gives a solvable system: nothing written
    OutOfMemory, // the buffers within the memory cap could not be had: nothing written
    Mismatch,    // a rebuilt piece did not match its MD5 (its temporary file removed, no piece touched)
    Stopped,
};

struct RebuiltPiece {
    std::string path;     // the piece, now as recorded
    std::string keptAs;   // the damaged original's new name; empty when there was none
    std::string copiedOf; // for a piece found under another name: that file (left as it was)
};

struct RebuildResult {
    RebuildOutcome outcome = RebuildOutcome::NothingToDo;
    std::vector<RebuiltPiece> pieces;
    uint32_t recoverySlicesUsed = 0;
    uint32_t rejectedSlices = 0; // recovery slices set aside because the first choice was singular
    std::string mismatched;      // Mismatch: the piece that failed its MD5
};

// The temporary name a piece is rebuilt under, and the name a damaged original is kept under (the first of
// "NAME.damaged", "NAME.damaged2", ... that is free).
std::string RebuildingName(const std::string& piecePath);
std::string DamagedName(const std::string& piecePath);

// Throws FileException on a file error, after removing its temporary files.
RebuildResult RebuildPieces(const SetCheck& check, const ProgressCallback& progress,
                            uint64_t memoryCap = kDefaultRebuildMemory);

} // namespace par2
