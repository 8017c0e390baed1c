#include "recovery/rebuild.h"

#include <algorithm>
#include <map>
#include <new>

#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "platform/file.h"
#include "recovery/file_range.h"
#include "recovery/piece_hashing.h"
#include "recovery/rebuild_passes.h"

namespace par2 {
namespace {

constexpr size_t kCopyBlock = 1 << 20;

// Copies [offset, offset+len) of `from` into `to` at the same offset, as far as `from` holds it.
void CopyRange(File& from, File& to, uint64_t offset, uint64_t len, std::vector<uint8_t>& block) {
    for (uint64_t done = 0; done < len;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), len - done));
        const size_t got = ReadAt(from, offset + done, block.data(), want);
        if (got == 0)
            return;
        WriteAt(to, offset + done, block.data(), got);
        done += got;
    }
}

} // namespace

// A file under construction: its temporary file goes away unless the file took its name. One without a
// temporary name is solved for the arithmetic's sake and never written.
struct PreparedRebuild::Output {
    const PieceCheck* piece = nullptr;
    std::string temp;
    File file;
    bool committed = false;
    Output() = default;
    Output(Output&&) = default;
    ~Output() {
        if (!committed && !temp.empty()) {
            if (file.IsOpen()) {
                try {
                    file.Close();
                } catch (const FileException&) {
                    // being removed anyway
                }
            }
            DeleteFileAt(temp);
        }
    }
};

PreparedRebuild::PreparedRebuild() = default;
PreparedRebuild::PreparedRebuild(PreparedRebuild&&) noexcept = default;
PreparedRebuild::~PreparedRebuild() = default;

std::string PreparedRebuild::Waiting(const std::string& piecePath) const {
    for (const Output& o : outputs_)
        if (o.piece->path == piecePath)
            return o.temp;
    return "";
}

std::string RebuildingName(const std::string& piecePath) {
    return piecePath + ".rebuilding";
}

std::string DamagedName(const std::string& piecePath) {
    // A link that leads nowhere holds its name as much as a file does.
    std::string name = piecePath + ".damaged";
    for (int n = 2; GetEntryStatus(name).exists; ++n)
        name = piecePath + ".damaged" + std::to_string(n);
    return name;
}

namespace {

// The pieces that are not intact: each is rebuilt whole.
std::vector<const PieceCheck*> PiecesToBuild(const SetCheck& check) {
    std::vector<const PieceCheck*> toBuild;
    for (const PieceCheck& piece : check.pieces)
        if (piece.state != PieceCondition::Intact)
            toBuild.push_back(&piece);
    return toBuild;
}

// The slices of the pieces rebuilt that are not good: the unknowns of the solve.
std::vector<MissingSlice> MissingSlices(const RecoverySet& set, const std::vector<const PieceCheck*>& toBuild) {
    std::vector<MissingSlice> missing;
    for (size_t o = 0; o < toBuild.size(); ++o) {
        const SetFile& file = set.files[toBuild[o]->file];
        for (size_t s = 0; s < file.slices.size(); ++s)
            if (!toBuild[o]->goodSlices[s]) {
                const uint64_t offset = s * set.sliceSize;
                missing.push_back({file.firstSlice + static_cast<uint32_t>(s), o, offset,
                                   std::min(set.sliceSize, file.length - offset)});
            }
    }
    return missing;
}

// Which input slices are present, and in which file: each piece not rebuilt, and the good slices of those
// that are.
std::vector<PresentSlice> PresentSlices(const SetCheck& check, const std::vector<MissingSlice>& missing) {
    const RecoverySet& set = check.set;
    std::vector<bool> isMissing(set.InputSlices(), false);
    for (const MissingSlice& m : missing)
        isMissing[m.index] = true;
    std::vector<PresentSlice> present;
    for (const PieceCheck& piece : check.pieces) {
        const SetFile& file = set.files[piece.file];
        const std::string& path = piece.state == PieceCondition::Renamed ? piece.foundPath : piece.path;
        for (size_t s = 0; s < file.slices.size(); ++s)
            if (!isMissing[file.firstSlice + s]) {
                const uint64_t offset = s * set.sliceSize;
                present.push_back({file.firstSlice + static_cast<uint32_t>(s), &path, offset,
                                   std::min(set.sliceSize, file.length - offset)});
            }
    }
    return present;
}

// The solve of the missing slices from the recovery slices; stopped, as the rest, by the front end.
SolveResult Solve(const RecoverySet& set, const std::vector<MissingSlice>& missing, const ProgressCallback& progress) {
    std::vector<uint32_t> indices, exponents;
    for (const MissingSlice& m : missing)
        indices.push_back(m.index);
    for (const RecoverySliceAt& r : set.recovery)
        exponents.push_back(r.exponent);
    // The solver's work, which grows with the cube of the missing slices, can be stopped; it moves no bytes.
    const ProgressMeter waiting(progress, missing.size() * set.sliceSize);
    return PlanSolve(indices, exponents, [&] { return !waiting.StopRequested(); });
}

RebuildOutcome SolveRefusal(SolveOutcome outcome) {
    return outcome == SolveOutcome::OutOfMemory ? RebuildOutcome::OutOfMemory
           : outcome == SolveOutcome::Stopped   ? RebuildOutcome::Stopped
                                                : RebuildOutcome::Singular;
}

// What a piece rebuilt keeps of what is there: all of a piece found under another name, the good slices of
// a damaged one.
void CopyGoodParts(const RecoverySet& set, const PieceCheck& piece, File& to) {
    const SetFile& file = set.files[piece.file];
    std::vector<uint8_t> block(kCopyBlock);
    if (piece.state == PieceCondition::Renamed) {
        File from(piece.foundPath, File::Mode::ReadDenyWrite);
        CopyRange(from, to, 0, file.length, block);
    } else if (piece.state != PieceCondition::Missing) {
        File from(piece.path, File::Mode::ReadDenyWrite);
        for (size_t s = 0; s < file.slices.size(); ++s)
            if (piece.goodSlices[s])
                CopyRange(from, to, s * set.sliceSize, std::min(set.sliceSize, file.length - s * set.sliceSize), block);
    }
}

} // namespace

// The files rebuilt, under temporary names only; a file outside the scope is solved and never written.
std::vector<File*> PreparedRebuild::OpenOutputs(const std::vector<const PieceCheck*>& toBuild, RebuildScope scope) {
    const RecoverySet& set = check_->set;
    outputs_.resize(toBuild.size());
    std::vector<File*> files(toBuild.size(), nullptr);
    for (size_t o = 0; o < toBuild.size(); ++o) {
        const PieceCheck& piece = *toBuild[o];
        outputs_[o].piece = &piece;
        if ((scope == RebuildScope::PiecesOnly && !set.files[piece.file].isPiece) || piece.path.empty())
            continue;
        // What a stopped rebuild left is ours, and never the only copy of anything.
        const std::string temp = RebuildingName(piece.path);
        if (GetEntryStatus(temp).exists && !GetEntryStatus(temp).isFolder && DeleteFileAt(temp))
            result.removedLeftovers.push_back(temp);
        outputs_[o].file.Open(temp, File::Mode::CreateNew);
        outputs_[o].temp = temp;
        CopyGoodParts(set, piece, outputs_[o].file);
        files[o] = &outputs_[o].file;
    }
    return files;
}

// Every file rebuilt closed and checked against its recorded MD5.
bool PreparedRebuild::CheckOutputs() {
    for (Output& o : outputs_)
        if (o.file.IsOpen())
            o.file.Close();
    std::vector<std::string> written;
    std::vector<const SetFile*> recorded;
    std::vector<const PieceCheck*> pieces;
    for (const Output& o : outputs_)
        if (!o.temp.empty()) {
            written.push_back(o.temp);
            recorded.push_back(&check_->set.files[o.piece->file]);
            pieces.push_back(o.piece);
        }
    // Hashed side by side, as the check before the rebuild hashed the pieces.
    if (const size_t bad = FirstMismatch(written, recorded); bad < written.size()) {
        result.mismatched = pieces[bad]->path;
        return false;
    }
    return true;
}

RebuildOutcome PreparedRebuild::Prepare(const ProgressCallback& progress, uint64_t memoryCap, RebuildScope scope) {
    const RecoverySet& set = check_->set;
    const std::vector<const PieceCheck*> toBuild = PiecesToBuild(*check_);
    if (toBuild.empty())
        return RebuildOutcome::NothingToDo;
    const std::vector<MissingSlice> missing = MissingSlices(set, toBuild);
    if (missing.size() > set.recovery.size())
        return RebuildOutcome::NotEnough;
    const SolveResult solved = Solve(set, missing, progress);
    if (solved.outcome != SolveOutcome::Solved)
        return SolveRefusal(solved.outcome);
    result.recoverySlicesUsed = static_cast<uint32_t>(solved.plan.used.size());
    result.rejectedSlices = solved.plan.rejected;
    const std::vector<PresentSlice> present = PresentSlices(*check_, missing);
    uint64_t presentBytes = 0;
    for (const PresentSlice& p : present)
        presentBytes += p.length;
    // The buffers are taken before any file is written: too little memory is a refusal like the others.
    PassBuffers buffers;
    try {
        buffers = TakePassBuffers(memoryCap, solved.plan.used.size(), present.size(), missing.size(), set.sliceSize);
    } catch (const std::bad_alloc&) {
        return RebuildOutcome::OutOfMemory;
    }
    // Every refusal is decided: from here on files are written, under temporary names only.
    const std::vector<File*> files = OpenOutputs(toBuild, scope);
    ProgressMeter meter(progress, presentBytes + solved.plan.used.size() * set.sliceSize);
    RunPasses(set, solved.plan, missing, present, buffers, files, meter);
    meter.Finish();
    return CheckOutputs() ? RebuildOutcome::Ready : RebuildOutcome::Mismatch;
}

PreparedRebuild PrepareRebuild(const SetCheck& check, const ProgressCallback& progress, uint64_t memoryCap,
                               RebuildScope scope) {
    PreparedRebuild prepared;
    prepared.check_ = &check;
    try {
        prepared.result.outcome = prepared.Prepare(progress, memoryCap, scope);
    } catch (const JobStopped&) {
        prepared.result.outcome = RebuildOutcome::Stopped;
    }
    return prepared;
}

namespace {

// One file's renames, as far as they went, and how to take them back.
struct Step {
    RebuiltPiece piece;
    std::string temp;
};

// Takes back the renames of one file; false when the system refuses.
bool Undo(const Step& step) {
    try {
        if (step.piece.inPlace)
            RenameFile(step.piece.path, step.temp, false);
        if (!step.piece.keptAs.empty())
            RenameFile(step.piece.keptAs, step.piece.path, false);
        return true;
    } catch (const FileException&) {
        return false;
    }
}

} // namespace

RebuildResult PreparedRebuild::Commit() {
    if (result.outcome != RebuildOutcome::Ready)
        return result;
    std::vector<Step> done;
    try {
        for (Output& o : outputs_) {
            if (o.temp.empty())
                continue;
            done.emplace_back();
            Step& step = done.back();
            step.piece.path = o.piece->path;
            step.temp = o.temp;
            if (o.piece->state == PieceCondition::Renamed)
                step.piece.copiedOf = o.piece->foundPath;
            for (const PieceCheck& other : check_->pieces)
                if (other.state == PieceCondition::Renamed && other.foundPath == o.piece->path)
                    step.piece.keptCopyOf = other.path;
            if (GetEntryStatus(o.piece->path).exists) {
                const std::string kept = DamagedName(o.piece->path);
                RenameFile(o.piece->path, kept, false);
                step.piece.keptAs = kept;
            }
            RenameFile(o.temp, o.piece->path, false);
            step.piece.inPlace = true;
            o.committed = true;
        }
    } catch (const FileException& error) {
        result.outcome = RebuildOutcome::CommitFailed;
        result.failure = error.Description();
        // Back to what was found, last first; what cannot be taken back is told, and a rebuilt file that
        // did not reach its name stays where the message says it is.
        while (!done.empty() && Undo(done.back()))
            done.pop_back();
        for (Output& o : outputs_)
            o.committed = std::any_of(done.begin(), done.end(), [&o](const Step& s) { return s.temp == o.temp; });
        outputs_.clear();
        for (const Step& step : done)
            result.pieces.push_back(step.piece);
        return result;
    }
    for (const Step& step : done)
        result.pieces.push_back(step.piece);
    result.outcome = RebuildOutcome::Rebuilt;
    return result;
}

PiecesAfterRebuild PiecesAfter(const SetCheck& check, const PreparedRebuild& prepared) {
    PiecesAfterRebuild after;
    for (const PieceCheck& piece : check.pieces) {
        const SetFile& file = check.set.files[piece.file];
        if (!file.isPiece)
            continue;
        after.paths.push_back(piece.path);
        after.bytes += file.length;
        if (ParsePieceName(file.name.data(), file.name.size()).number == 0) {
            const std::string waiting = prepared.Waiting(piece.path);
            after.firstPath = piece.path;
            after.firstBytes = waiting.empty() ? piece.path : waiting;
        }
    }
    return after;
}

RebuildResult RebuildPieces(const SetCheck& check, const ProgressCallback& progress, uint64_t memoryCap,
                            RebuildScope scope) {
    PreparedRebuild prepared = PrepareRebuild(check, progress, memoryCap, scope);
    return prepared.Commit();
}

} // namespace par2
