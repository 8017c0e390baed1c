#include "recovery/rebuild.h"

#include <algorithm>
#include <map>
#include <new>

#include "core/piece_name.h"
#include "platform/file.h"
#include "recovery/file_range.h"
#include "recovery/gf16.h"
#include "recovery/piece_hashing.h"
#include "recovery/product_sums.h"
#include "recovery/slice_solver.h"

namespace par2 {
namespace {

constexpr size_t kCopyBlock = 1 << 20;
// Present slices read before their share is taken out of the recovery slices: enough that each block of
// a recovery slice, in the cache, takes several of them in at once.
constexpr size_t kPresentBatch = 16;

struct Meter {
    const ProgressCallback& callback;
    uint64_t done = 0, total = 0;
    bool Add(uint64_t bytes) {
        done += bytes;
        return !callback || callback(done, total);
    }
};

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

PreparedRebuild PrepareRebuild(const SetCheck& check, const ProgressCallback& progress, uint64_t memoryCap,
                               RebuildScope scope) {
    const RecoverySet& set = check.set;
    PreparedRebuild prepared;
    prepared.check_ = &check;
    RebuildResult& result = prepared.result;
    // The input slices to solve for, by their index in the set, and where each lies.
    struct Missing {
        uint32_t index;
        size_t output;
        uint64_t offset; // in the piece
        uint64_t length; // of the slice's bytes inside the piece
    };
    std::vector<Missing> missing;
    std::vector<const PieceCheck*> toBuild;
    for (const PieceCheck& piece : check.pieces)
        if (piece.state != PieceState::Intact)
            toBuild.push_back(&piece);
    if (toBuild.empty())
        return prepared;
    for (size_t o = 0; o < toBuild.size(); ++o) {
        const SetFile& file = set.files[toBuild[o]->file];
        for (size_t s = 0; s < file.slices.size(); ++s)
            if (!toBuild[o]->goodSlices[s]) {
                const uint64_t offset = s * set.sliceSize;
                missing.push_back({file.firstSlice + static_cast<uint32_t>(s), o, offset,
                                   std::min(set.sliceSize, file.length - offset)});
            }
    }
    if (missing.size() > set.recovery.size()) {
        result.outcome = RebuildOutcome::NotEnough;
        return prepared;
    }
    std::vector<uint32_t> indices, exponents;
    for (const Missing& m : missing)
        indices.push_back(m.index);
    for (const RecoverySliceAt& r : set.recovery)
        exponents.push_back(r.exponent);
    // The solver's work, which grows with the cube of the missing slices, can be stopped; it moves no bytes.
    const SolveResult solved =
        PlanSolve(indices, exponents, [&] { return !progress || progress(0, missing.size() * set.sliceSize); });
    if (solved.outcome != SolveOutcome::Solved) {
        result.outcome = solved.outcome == SolveOutcome::OutOfMemory ? RebuildOutcome::OutOfMemory
                         : solved.outcome == SolveOutcome::Stopped   ? RebuildOutcome::Stopped
                                                                     : RebuildOutcome::Singular;
        return prepared;
    }
    const SolvePlan* plan = &solved.plan;
    result.recoverySlicesUsed = static_cast<uint32_t>(plan->used.size());
    result.rejectedSlices = plan->rejected;

    // Which input slices are present, and in which file: each piece not rebuilt, and the good slices of
    // those that are.
    struct Present {
        uint32_t index;
        const std::string* path;
        uint64_t offset;
        uint64_t length; // of the slice's bytes inside the piece's recorded length: the rest is zeros
    };
    std::vector<Present> present;
    uint64_t presentBytes = 0;
    {
        std::vector<bool> isMissing(set.InputSlices(), false);
        for (const Missing& m : missing)
            isMissing[m.index] = true;
        for (const PieceCheck& piece : check.pieces) {
            const SetFile& file = set.files[piece.file];
            const std::string& path = piece.state == PieceState::Renamed ? piece.foundPath : piece.path;
            for (size_t s = 0; s < file.slices.size(); ++s)
                if (!isMissing[file.firstSlice + s]) {
                    const uint64_t offset = s * set.sliceSize;
                    const uint64_t length = std::min(set.sliceSize, file.length - offset);
                    present.push_back({file.firstSlice + static_cast<uint32_t>(s), &path, offset, length});
                    presentBytes += length;
                }
        }
    }

    // Each pass works on one range of every slice, so that the buffers stay within the cap: the recovery
    // slices in use, a batch of present slices read at a time, and one rebuilt slice.
    const size_t k = missing.size(), used = plan->used.size();
    const size_t batch = std::min<size_t>(kPresentBatch, std::max<size_t>(1, present.size()));
    uint64_t range = memoryCap / (used + batch + 1);
    range -= range % gf16::kWorkingChunk;
    range = std::max<uint64_t>(4096, std::min(set.sliceSize, range));
    const size_t working = gf16::WorkingSize(static_cast<size_t>(range));
    Meter meter{progress, 0, presentBytes + used * set.sliceSize};
    // The buffers are taken before any file is written: too little memory is a refusal like the others.
    std::vector<std::vector<uint8_t>> acc, inputs;
    std::vector<uint8_t> out;
    try {
        acc.assign(used, std::vector<uint8_t>(working));
        inputs.assign(batch, std::vector<uint8_t>(static_cast<size_t>(range)));
        out.resize(working);
    } catch (const std::bad_alloc&) {
        result.outcome = RebuildOutcome::OutOfMemory;
        return prepared;
    }
    // Every refusal is decided: from here on files are written, under temporary names only.
    std::vector<PreparedRebuild::Output>& outputs = prepared.outputs_;
    outputs.resize(toBuild.size());
    std::vector<uint8_t> block(kCopyBlock);
    for (size_t o = 0; o < toBuild.size(); ++o) {
        const PieceCheck& piece = *toBuild[o];
        const SetFile& file = set.files[piece.file];
        outputs[o].piece = &piece;
        if ((scope == RebuildScope::PiecesOnly && !file.isPiece) || piece.path.empty())
            continue;
        // What a stopped rebuild left is ours, and never the only copy of anything.
        const std::string temp = RebuildingName(piece.path);
        if (GetEntryStatus(temp).exists && !GetEntryStatus(temp).isFolder && DeleteFileAt(temp))
            result.removedLeftovers.push_back(temp);
        outputs[o].file.Open(temp, File::Mode::CreateNew);
        outputs[o].temp = temp;
        if (piece.state == PieceState::Renamed) {
            File from(piece.foundPath, File::Mode::ReadDenyWrite);
            CopyRange(from, outputs[o].file, 0, file.length, block);
        } else if (piece.state != PieceState::Missing) {
            File from(piece.path, File::Mode::ReadDenyWrite);
            for (size_t s = 0; s < file.slices.size(); ++s)
                if (piece.goodSlices[s])
                    CopyRange(from, outputs[o].file, s * set.sliceSize,
                              std::min(set.sliceSize, file.length - s * set.sliceSize), block);
        }
    }

    std::vector<uint8_t*> accAt(used);
    std::vector<const uint8_t*> accIn(used), inputAt(batch);
    for (size_t r = 0; r < used; ++r)
        accIn[r] = accAt[r] = acc[r].data();
    for (size_t b = 0; b < batch; ++b)
        inputAt[b] = inputs[b].data();
    uint8_t* outAt = out.data();
    std::vector<uint16_t> factors;
    for (uint64_t begin = 0; begin < set.sliceSize; begin += range) {
        const size_t len = static_cast<size_t>(std::min(range, set.sliceSize - begin));
        const size_t lenWorking = gf16::WorkingSize(len);
        for (size_t r = 0; r < used; ++r) {
            const RecoverySliceAt& at = set.recovery[plan->used[r]];
            File in(at.path, File::Mode::ReadDenyWrite);
            ReadPadded(in, at.offset + begin, acc[r].data(), len);
            std::fill(acc[r].begin() + len, acc[r].begin() + lenWorking, 0);
            gf16::ToWorking(acc[r].data(), acc[r].data(), lenWorking);
            if (!meter.Add(len)) {
                result.outcome = RebuildOutcome::Stopped;
                return prepared;
            }
        }
        // What the present slices put into the recovery slices taken out again: what is left is the
        // missing slices' share. A present slice is read up to its piece's recorded length and padded with
        // zeros, whatever follows in the file; a range past that length is all zeros and adds nothing.
        File source;
        const std::string* openPath = nullptr;
        std::vector<const Present*> inBatch;
        for (size_t next = 0; next < present.size();) {
            inBatch.clear();
            for (; next < present.size() && inBatch.size() < batch; ++next)
                if (begin < present[next].length)
                    inBatch.push_back(&present[next]);
            const size_t n = inBatch.size();
            if (n == 0)
                break;
            factors.assign(used * n, 0);
            uint64_t read = 0;
            for (size_t b = 0; b < n; ++b) {
                const Present& p = *inBatch[b];
                if (openPath != p.path) {
                    source.Open(*p.path, File::Mode::ReadDenyWrite);
                    openPath = p.path;
                }
                const size_t inPiece = static_cast<size_t>(std::min<uint64_t>(len, p.length - begin));
                ReadPadded(source, p.offset + begin, inputs[b].data(), inPiece);
                std::fill(inputs[b].begin() + inPiece, inputs[b].begin() + len, 0);
                read += inPiece;
                for (size_t r = 0; r < used; ++r)
                    factors[r * n + b] = InputFactor(p.index, set.recovery[plan->used[r]].exponent);
            }
            gf16::ProductSums(n, used, factors).Add(inputAt.data(), accAt.data(), len, false);
            if (!meter.Add(read)) {
                result.outcome = RebuildOutcome::Stopped;
                return prepared;
            }
        }
        for (size_t j = 0; j < k; ++j) {
            const Missing& m = missing[j];
            if (begin >= m.length || !outputs[m.output].file.IsOpen())
                continue;
            std::fill(out.begin(), out.begin() + lenWorking, 0);
            const std::vector<uint16_t> row(plan->coefficients.begin() + j * used,
                                            plan->coefficients.begin() + (j + 1) * used);
            gf16::ProductSums(used, 1, row).Add(accIn.data(), &outAt, len, true);
            gf16::FromWorking(out.data(), out.data(), lenWorking);
            WriteAt(outputs[m.output].file, m.offset + begin, out.data(),
                    static_cast<size_t>(std::min<uint64_t>(len, m.length - begin)));
        }
    }

    for (PreparedRebuild::Output& o : outputs)
        if (o.file.IsOpen())
            o.file.Close();
    std::vector<std::string> written;
    std::vector<const SetFile*> recorded;
    std::vector<const PieceCheck*> writtenPieces;
    for (PreparedRebuild::Output& o : outputs)
        if (!o.temp.empty()) {
            written.push_back(o.temp);
            recorded.push_back(&set.files[o.piece->file]);
            writtenPieces.push_back(o.piece);
        }
    if (const size_t bad = FirstMismatch(written, recorded); bad < written.size()) {
        result.outcome = RebuildOutcome::Mismatch;
        result.mismatched = writtenPieces[bad]->path;
        return prepared;
    }
    result.outcome = RebuildOutcome::Ready;
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
            if (o.piece->state == PieceState::Renamed)
                step.piece.copiedOf = o.piece->foundPath;
            for (const PieceCheck& other : check_->pieces)
                if (other.state == PieceState::Renamed && other.foundPath == o.piece->path)
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
