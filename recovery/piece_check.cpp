#include "recovery/piece_check.h"

#include <algorithm>
#include <optional>
#include <set>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "platform/file.h"
#include "platform/find_files.h"
#include "recovery/early_hashes.h"
#include "recovery/file_range.h"
#include "recovery/piece_hashing.h"
#include "recovery/set_choice.h"

namespace par2 {
namespace {

constexpr size_t kBlock = 1 << 20;

// Slice by slice: the MD5 and CRC-32 of each slice's bytes so far and what a slice's end decides.
class SliceChecker {
public:
    SliceChecker(const SetFile& file, uint64_t sliceSize, PieceCheck& piece, ProgressMeter& meter)
        : file_(file), sliceSize_(sliceSize), piece_(piece), meter_(meter) {
        piece_.goodSlices.assign(file.slices.size(), false);
    }

    // `len` bytes of the file from `at`; the part inside the recorded length, cut at slice ends.
    void Take(uint64_t at, const uint8_t* data, size_t len) {
        for (size_t off = 0; off < len && at + off < file_.length;) {
            const uint64_t pos = at + off;
            const uint64_t sliceEnd = std::min(file_.length, (pos / sliceSize_ + 1) * sliceSize_);
            const size_t n = static_cast<size_t>(std::min<uint64_t>(len - off, sliceEnd - pos));
            md5_.Update(data + off, n);
            crc_ = Crc32Fast(crc_, data + off, n);
            off += n;
            if (pos + n == sliceEnd)
                Finish(static_cast<size_t>(pos / sliceSize_), sliceEnd - (pos / sliceSize_) * sliceSize_);
        }
    }

private:
    // The checksums cover the slice zero-padded to the slice size: the CRC-32 takes the zeros by arithmetic.
    // A piece of one slice is that slice, so its whole MD5 says what the slice's would, without hashing
    // padding that only the slice size makes long; in a piece of several slices the padding is shorter than
    // the piece.
    void Finish(size_t index, uint64_t filled) {
        crc_ = Crc32Zeros(crc_, sliceSize_ - filled);
        const SliceChecksum& want = file_.slices[index];
        bool md5Matches;
        if (file_.slices.size() == 1) {
            md5Matches = md5_.Final() == file_.hash;
        } else {
            static const std::vector<uint8_t> zeros(kBlock, 0);
            for (uint64_t pad = sliceSize_ - filled; pad > 0;) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(pad, zeros.size()));
                md5_.Update(zeros.data(), n);
                pad -= n;
                meter_.Advance(0);
            }
            md5Matches = md5_.Final() == want.md5;
        }
        piece_.goodSlices[index] = md5Matches && (crc_ ^ 0xFFFFFFFF) == want.crc;
        crc_ = 0xFFFFFFFF;
    }

    const SetFile& file_;
    uint64_t sliceSize_;
    PieceCheck& piece_;
    ProgressMeter& meter_;
    Md5 md5_;
    uint32_t crc_ = 0xFFFFFFFF;
};

// Each slice of the recorded length against its checksums: for a file whose whole MD5 did not match.
void CheckSlices(const std::string& path, const SetFile& file, uint64_t sliceSize, PieceCheck& piece,
                 ProgressMeter& meter) {
    File in(path, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> block(kBlock);
    SliceChecker checker(file, sliceSize, piece, meter);
    uint64_t at = 0;
    for (size_t got; (got = in.Read(block.data(), block.size())) > 0; at += got) {
        checker.Take(at, block.data(), got);
        meter.Advance(0);
    }
}

bool SameContent(const FoundFile& candidate, const SetFile& file, ProgressMeter& meter) {
    File in(candidate.path, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> block(kBlock);
    const size_t head = static_cast<size_t>(std::min<uint64_t>(file.length, kHashedHead));
    if (ReadAt(in, 0, block.data(), head) != head || Md5Of(block.data(), head) != file.headHash)
        return false;
    in.Seek(0);
    Md5 whole;
    for (size_t got; (got = in.Read(block.data(), block.size())) > 0;) {
        whole.Update(block.data(), got);
        meter.Advance(0);
    }
    return whole.Final() == file.hash;
}

} // namespace

uint32_t PieceCheck::BadSlices() const {
    return static_cast<uint32_t>(std::count(goodSlices.begin(), goodSlices.end(), false));
}

std::vector<ByteRange> BadRanges(const PieceCheck& piece, const RecoverySet& set) {
    const SetFile& file = set.files[piece.file];
    std::vector<ByteRange> ranges;
    for (size_t s = 0; s < piece.goodSlices.size(); ++s) {
        if (piece.goodSlices[s])
            continue;
        const uint64_t begin = s * set.sliceSize;
        const uint64_t end = file.length - begin < set.sliceSize ? file.length : begin + set.sliceSize;
        if (!ranges.empty() && ranges.back().end == begin)
            ranges.back().end = end;
        else
            ranges.push_back({begin, end});
    }
    return ranges;
}

bool SetCheck::Complete() const {
    return Count(PieceCondition::Intact) == pieces.size() && undescribed.empty();
}

bool SetCheck::PiecesIntact() const {
    return std::all_of(pieces.begin(), pieces.end(), [this](const PieceCheck& p) {
        return p.state == PieceCondition::Intact || !set.files[p.file].isPiece;
    });
}

uint32_t SetCheck::SparePieces() const {
    size_t largest = 1;
    for (const SetFile& f : set.files)
        largest = std::max(largest, f.slices.size());
    return slicesNeeded >= set.recovery.size() ? 0
                                               : static_cast<uint32_t>((set.recovery.size() - slicesNeeded) / largest);
}

uint32_t SetCheck::Count(PieceCondition state) const {
    return static_cast<uint32_t>(
        std::count_if(pieces.begin(), pieces.end(), [state](const PieceCheck& p) { return p.state == state; }));
}

namespace {

// Where each file of the set lies: a piece under the name the folder gives it (the piece-name rule, letter
// case included), any other file under its recorded name. Empty for a name that is no plain file name: a
// set may name anything, and nothing outside the folder is ever read or written.
std::string PathOf(const std::string& folder, const SetFile& file, const PiecesOnDisk& onDisk) {
    if (file.isPiece)
        if (const PresentPiece* piece = PieceForName(onDisk.regular, file.name))
            return piece->path;
    if (!file.isPiece && !IsPlainFileName(file.name.data(), file.name.size()))
        return "";
    return folder + "\\" + file.name;
}

// Each file of the set under the name it should have; missing where no regular file has it (a pipe or
// device under a name of the set is as good as missing: only a regular file is opened).
void PlaceFiles(const std::string& folder, const PiecesOnDisk& onDisk, SetCheck& check) {
    const RecoverySet& set = check.set;
    for (size_t i = 0; i < set.files.size(); ++i) {
        PieceCheck piece;
        piece.file = i;
        piece.path = PathOf(folder, set.files[i], onDisk);
        piece.goodSlices.assign(set.files[i].slices.size(), false);
        const EntryStatus entry = piece.path.empty() ? EntryStatus{} : GetEntryStatus(piece.path);
        if (!entry.exists || entry.isFolder || entry.isSpecial || entry.targetMissing)
            piece.state = PieceCondition::Missing;
        check.pieces.push_back(std::move(piece));
    }
}

// The whole MD5 and CRC-32 of each file present: those read while the set was, the rest now, side by side.
std::vector<FileDigest> PresentDigests(const std::vector<std::string>& paths, EarlyHashes* early,
                                       ProgressMeter& meter) {
    std::vector<FileDigest> digests(paths.size());
    std::vector<std::string> rest;
    std::vector<size_t> restAt;
    if (early)
        early->Wait(paths, meter);
    for (size_t i = 0; i < paths.size(); ++i) {
        if (const FileDigest* known = early ? early->Of(paths[i]) : nullptr) {
            digests[i] = *known;
        } else {
            rest.push_back(paths[i]);
            restAt.push_back(i);
        }
    }
    const std::vector<FileDigest> read = HashFiles(rest, &meter);
    for (size_t k = 0; k < read.size(); ++k)
        digests[restAt[k]] = read[k];
    return digests;
}

// Every file present read once for its whole MD5 and CRC-32; the slices of a file whose whole MD5 does not
// match are read again, one by one.
void CheckPresentFiles(SetCheck& check, EarlyHashes* early, ProgressMeter& meter, std::set<std::string>& accounted) {
    std::vector<std::string> paths;
    std::vector<PieceCheck*> present;
    for (PieceCheck& piece : check.pieces)
        if (piece.state != PieceCondition::Missing) {
            paths.push_back(piece.path);
            present.push_back(&piece);
        }
    const std::vector<FileDigest> digests = PresentDigests(paths, early, meter);
    for (size_t i = 0; i < present.size(); ++i) {
        PieceCheck& piece = *present[i];
        const SetFile& file = check.set.files[piece.file];
        piece.presentLength = digests[i].length;
        piece.crcRegister = digests[i].crcRegister;
        if (digests[i].length == file.length && digests[i].md5 == file.hash) {
            piece.goodSlices.assign(file.slices.size(), true);
            accounted.insert(piece.path);
            continue;
        }
        CheckSlices(piece.path, file, check.set.sliceSize, piece, meter);
        piece.state = piece.presentLength < file.length ? PieceCondition::Truncated : PieceCondition::Damaged;
    }
}

// A file not intact under its name may be in the folder under another one, whole.
void FindRenamed(const std::string& folder, SetCheck& check, ProgressMeter& meter, std::set<std::string>& accounted) {
    const std::vector<FoundFile> folderFiles = FindFiles(folder + "\\*");
    for (PieceCheck& piece : check.pieces) {
        if (piece.state == PieceCondition::Intact)
            continue;
        const SetFile& file = check.set.files[piece.file];
        for (const FoundFile& candidate : folderFiles) {
            if (candidate.isFolder || candidate.isSpecial || candidate.size != file.length ||
                accounted.count(candidate.path) || candidate.path == piece.path)
                continue;
            if (SameContent(candidate, file, meter)) {
                piece.state = PieceCondition::Renamed;
                piece.foundPath = candidate.path;
                piece.goodSlices.assign(file.slices.size(), true);
                accounted.insert(candidate.path);
                break;
            }
        }
        check.slicesNeeded += piece.BadSlices();
    }
}

// The pieces up to the highest the set or the folder has that are neither described nor present.
std::vector<std::string> Undescribed(const RecoverySet& set, const PiecesOnDisk& onDisk) {
    std::vector<bool> known(kMaxPieces, false);
    int highest = -1;
    auto note = [&](int number) {
        known[static_cast<size_t>(number)] = true;
        highest = std::max(highest, number);
    };
    for (const SetFile& f : set.files)
        if (f.isPiece)
            note(ParsePieceName(f.name.data(), f.name.size()).number);
    for (const PresentPiece& p : onDisk.regular)
        note(p.number);
    std::vector<std::string> names;
    for (int n = 0; n < highest; ++n)
        if (!known[static_cast<size_t>(n)])
            names.push_back(PieceName(n));
    return names;
}

CheckResult WithOutcome(CheckOutcome outcome) {
    CheckResult result;
    result.outcome = outcome;
    return result;
}

CheckResult NotChecked(ReadResult&& read) {
    CheckResult result;
    switch (read.outcome) {
    case ReadOutcome::NoIndex:
        result.outcome = CheckOutcome::NoIndex;
        break;
    case ReadOutcome::NoMatch:
        result.outcome = CheckOutcome::NoMatch;
        break;
    case ReadOutcome::TwoSets:
        result.outcome = CheckOutcome::TwoSets;
        break;
    default:
        result.outcome = CheckOutcome::IndexIncomplete;
        break;
    }
    result.check.set = std::move(read.set);
    result.otherIndexFiles = std::move(read.otherIndexFiles);
    return result;
}

// A refusal by name, decided before anything is opened: reading a pipe or a device would never end.
std::optional<CheckResult> RefusedByName(const PiecesOnDisk& onDisk) {
    if (onDisk.irregular.empty() && onDisk.duplicate[0].empty())
        return std::nullopt;
    CheckResult refused = WithOutcome(CheckOutcome::Refused);
    refused.refusal = told::PieceNotRegular{onDisk.irregular};
    if (onDisk.irregular.empty()) {
        told::DuplicatePiece duplicate;
        duplicate.path = onDisk.duplicate[0];
        duplicate.otherPath = onDisk.duplicate[1];
        refused.refusal = duplicate;
    }
    return refused;
}

// Every file of the set found: checked under its name, looked for under others, the gaps told.
void CheckSetFiles(const std::string& folder, const PiecesOnDisk& onDisk, uint64_t indexBytes, EarlyHashes* early,
                   const ProgressCallback& progress, SetCheck& check) {
    const RecoverySet& set = check.set;
    uint64_t total = indexBytes;
    for (const SetFile& f : set.files)
        total += f.length;
    ProgressMeter meter(progress, total);
    meter.Advance(indexBytes);
    std::set<std::string> accounted; // paths that hold a file of the set intact under its own name
    PlaceFiles(folder, onDisk, check);
    CheckPresentFiles(check, early, meter, accounted);
    FindRenamed(folder, check, meter, accounted);
    check.undescribed = Undescribed(set, onDisk);
    // Told in the order of their names, not the set's order of file IDs.
    std::sort(check.pieces.begin(), check.pieces.end(), [&set](const PieceCheck& a, const PieceCheck& b) {
        return set.files[a.file].name < set.files[b.file].name;
    });
}

} // namespace

CheckResult CheckPieces(const std::string& folder, const ProgressCallback& progress) {
    const PiecesOnDisk onDisk = FindPiecesOnDisk(folder);
    if (std::optional<CheckResult> refused = RefusedByName(onDisk))
        return std::move(*refused);
    const uint64_t indexBytes = IndexBytes(folder);
    // The pieces present are read while the recovery files are, when there are any (with none, the caller
    // checks the set without this check's MD5s) and the pieces are enough to share the cores with them.
    std::optional<EarlyHashes> early;
    if (indexBytes > 0 && EarlyHashes::Worthwhile(onDisk.regular.size())) {
        std::vector<std::string> paths;
        for (const PresentPiece& piece : onDisk.regular)
            paths.push_back(piece.path);
        early.emplace(std::move(paths));
    }
    ReadResult read = ReadRecoverySet(folder, onDisk.regular, progress, 0, indexBytes);
    if (read.outcome == ReadOutcome::Stopped)
        return WithOutcome(CheckOutcome::Stopped);
    if (read.outcome != ReadOutcome::Found)
        return NotChecked(std::move(read));
    CheckResult result = WithOutcome(CheckOutcome::Checked);
    result.check.set = std::move(read.set);
    try {
        CheckSetFiles(folder, onDisk, indexBytes, early ? &*early : nullptr, progress, result.check);
    } catch (const JobStopped&) {
        return WithOutcome(CheckOutcome::Stopped);
    }
    return result;
}

} // namespace par2
