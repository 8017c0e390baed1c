// Rebuilding the missing, damaged and misnamed pieces of a checked set: each to a temporary name, checked
// against its recorded MD5, then under its own name; a damaged original is kept under a name that says so.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "platform/file.h"
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
    Ready,        // PrepareRebuild: every rebuilt file waits under its temporary name, checked
    CommitFailed, // a rename failed: failure says why; pieces lists those left changed (none when undone)
};

struct RebuiltPiece {
    std::string path;       // the piece, now as recorded
    std::string keptAs;     // the damaged original's new name; empty when there was none
    std::string copiedOf;   // for a piece found under another name: that file (left as it was)
    std::string keptCopyOf; // when what was under the name was another piece's whole content: that piece
    bool inPlace = false;   // the rebuilt file has the piece's name (false only for a commit cut short)
};

struct RebuildResult {
    RebuildOutcome outcome = RebuildOutcome::NothingToDo;
    std::vector<RebuiltPiece> pieces;
    uint32_t recoverySlicesUsed = 0;
    uint32_t rejectedSlices = 0;               // recovery slices set aside because the first choice was singular
    std::string mismatched;                    // Mismatch: the piece that failed its MD5
    std::string failure;                       // CommitFailed: what the system said
    std::vector<std::string> removedLeftovers; // "NAME.rebuilding" files a stopped rebuild left, removed
};

// Which files a rebuild writes: every file of the set (repair), or the pieces alone (a join, which leaves
// the set's other files to their owner; their slices are still solved where the arithmetic needs them).
enum class RebuildScope { EveryFile, PiecesOnly };

// A rebuild whose files wait under temporary names: nothing of the user's is changed until Commit, and its
// temporary files go when it does without committing.
class PreparedRebuild {
public:
    PreparedRebuild();
    PreparedRebuild(PreparedRebuild&&) noexcept;
    ~PreparedRebuild();

    RebuildResult result; // Ready, or why nothing waits
    // Where the rebuilt file for a piece waits; empty when that piece is not rebuilt.
    std::string Waiting(const std::string& piecePath) const;
    // Every waiting file under its own name, each original kept under a new name. A rename that fails
    // undoes those before it; result.pieces says which pieces changed when that too fails.
    RebuildResult Commit();

    struct Output;

private:
    friend PreparedRebuild PrepareRebuild(const SetCheck&, const ProgressCallback&, uint64_t, RebuildScope);
    // The steps of PrepareRebuild: the outcome it ends with.
    RebuildOutcome Prepare(const ProgressCallback& progress, uint64_t memoryCap, RebuildScope scope);
    std::vector<File*> OpenOutputs(const std::vector<const PieceCheck*>& toBuild, RebuildScope scope);
    bool CheckOutputs();
    std::vector<Output> outputs_;
    const SetCheck* check_ = nullptr;
};

// The temporary name a piece is rebuilt under, and the name a damaged original is kept under (the first of
// "NAME.damaged", "NAME.damaged2", ... that is free).
std::string RebuildingName(const std::string& piecePath);
std::string DamagedName(const std::string& piecePath);

// Every refusal decided, then the rebuilt files written under temporary names and checked against their
// MD5; a leftover "NAME.rebuilding" of a stopped rebuild is removed first. Throws FileException on a file
// error, after removing its temporary files. The check must outlive the result.
PreparedRebuild PrepareRebuild(const SetCheck& check, const ProgressCallback& progress,
                               uint64_t memoryCap = kDefaultRebuildMemory,
                               RebuildScope scope = RebuildScope::EveryFile);
// The pieces of a set as a prepared rebuild will leave them, for the checks a join makes before it commits.
struct PiecesAfterRebuild {
    std::string firstPath;  // the first piece's name; empty when the set does not describe it
    std::string firstBytes; // where its bytes can be read now: the piece, or its rebuilt copy waiting
    std::vector<std::string> paths;
    uint64_t bytes = 0; // of every piece the set describes
};
PiecesAfterRebuild PiecesAfter(const SetCheck& check, const PreparedRebuild& prepared);

// PrepareRebuild and Commit in one.
RebuildResult RebuildPieces(const SetCheck& check, const ProgressCallback& progress,
                            uint64_t memoryCap = kDefaultRebuildMemory, RebuildScope scope = RebuildScope::EveryFile);

} // namespace par2
