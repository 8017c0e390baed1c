#include "recovery/piece_check.h"

#include <algorithm>
#include <set>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "platform/file.h"
#include "platform/find_files.h"
#include "recovery/file_range.h"
#include "recovery/set_choice.h"

namespace par2 {
namespace {

constexpr size_t kBlock = 1 << 20;

struct Progress {
    const ProgressCallback& callback;
    uint64_t done, total;
    bool stopped = false;
    bool Add(uint64_t bytes) {
        done += bytes;
        if (callback && !stopped && !callback(done, total))
            stopped = true;
        return !stopped;
    }
};

// Each slice of the recorded length against its checksums, from the file's start.
bool CheckSlices(File& in, const SetFile& file, uint64_t sliceSize, PieceCheck& piece, Progress& progress,
                 std::vector<uint8_t>& block) {
    static const std::vector<uint8_t> zeros(kBlock, 0);
    Md5 slice;
    uint32_t crc = 0xFFFFFFFF;
    uint64_t at = 0;
    piece.goodSlices.assign(file.slices.size(), false);
    auto finishSlice = [&](size_t index, uint64_t filled) {
        // The checksums cover the slice zero-padded to the slice size: the CRC-32 takes the zeros by
        // arithmetic. A piece of one slice is that slice, so its whole MD5 says what the slice's would,
        // without hashing padding that only the slice size makes long; in a piece of several slices the
        // padding is shorter than the piece.
        crc = Crc32Zeros(crc, sliceSize - filled);
        const SliceChecksum& want = file.slices[index];
        bool md5Matches;
        if (file.slices.size() == 1) {
            md5Matches = slice.Final() == file.hash;
        } else {
            for (uint64_t pad = sliceSize - filled; pad > 0 && !progress.stopped;) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(pad, zeros.size()));
                slice.Update(zeros.data(), n);
                pad -= n;
                progress.Add(0);
            }
            md5Matches = slice.Final() == want.md5;
        }
        piece.goodSlices[index] = md5Matches && (crc ^ 0xFFFFFFFF) == want.crc;
        crc = 0xFFFFFFFF;
    };
    for (size_t got; (got = in.Read(block.data(), block.size())) > 0; at += got) {
        // The part of this block inside the recorded length, cut at slice ends.
        for (size_t off = 0; off < got && at + off < file.length;) {
            const uint64_t pos = at + off;
            const uint64_t sliceEnd = std::min(file.length, (pos / sliceSize + 1) * sliceSize);
            const size_t n = static_cast<size_t>(std::min<uint64_t>(got - off, sliceEnd - pos));
            slice.Update(block.data() + off, n);
            crc = Crc32Fast(crc, block.data() + off, n);
            off += n;
            if (pos + n == sliceEnd)
                finishSlice(static_cast<size_t>(pos / sliceSize), sliceEnd - (pos / sliceSize) * sliceSize);
        }
        if (!progress.Add(0))
            return false;
    }
    return true;
}

// The file at `path` against its whole MD5; its slices are read again only when that does not match,
// so an intact piece, the usual case, costs one MD5. False when stopped.
bool CheckContent(const std::string& path, const SetFile& file, uint64_t sliceSize, PieceCheck& piece,
                  Progress& progress, bool& wholeMatches) {
    File in(path, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> block(kBlock);
    Md5 whole;
    uint64_t at = 0;
    for (size_t got; (got = in.Read(block.data(), block.size())) > 0; at += got) {
        whole.Update(block.data(), got);
        if (!progress.Add(got))
            return false;
    }
    piece.presentLength = at;
    wholeMatches = at == file.length && whole.Final() == file.hash;
    if (wholeMatches) {
        piece.goodSlices.assign(file.slices.size(), true);
        return true;
    }
    in.Seek(0);
    return CheckSlices(in, file, sliceSize, piece, progress, block);
}

bool SameContent(const FoundFile& candidate, const SetFile& file, Progress& progress) {
    File in(candidate.path, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> block(kBlock);
    const size_t head = static_cast<size_t>(std::min<uint64_t>(file.length, kHashedHead));
    if (ReadAt(in, 0, block.data(), head) != head || Md5Of(block.data(), head) != file.headHash)
        return false;
    in.Seek(0);
    Md5 whole;
    for (size_t got; (got = in.Read(block.data(), block.size())) > 0;) {
        whole.Update(block.data(), got);
        if (!progress.Add(0))
            return false;
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

// Each file of the set under its own name; false when stopped.
bool CheckEachFile(const std::string& folder, const PiecesOnDisk& onDisk, SetCheck& check, Progress& meter,
                   std::set<std::string>& accounted) {
    const RecoverySet& set = check.set;
    for (size_t i = 0; i < set.files.size(); ++i) {
        const SetFile& file = set.files[i];
        PieceCheck piece;
        piece.file = i;
        piece.path = PathOf(folder, file, onDisk);
        piece.goodSlices.assign(file.slices.size(), false);
        // Only a regular file is opened: a pipe or device under a name of the set is as good as missing.
        const EntryStatus entry = piece.path.empty() ? EntryStatus{} : GetEntryStatus(piece.path);
        if (!entry.exists || entry.isFolder || entry.isSpecial || entry.targetMissing) {
            piece.state = PieceCondition::Missing;
        } else {
            bool whole = false;
            if (!CheckContent(piece.path, file, set.sliceSize, piece, meter, whole))
                return false;
            piece.state = whole                               ? PieceCondition::Intact
                          : piece.presentLength < file.length ? PieceCondition::Truncated
                                                              : PieceCondition::Damaged;
            if (whole)
                accounted.insert(piece.path);
        }
        check.pieces.push_back(std::move(piece));
    }
    return true;
}

// A file not intact under its name may be in the folder under another one, whole; false when stopped.
bool FindRenamed(const std::string& folder, SetCheck& check, Progress& meter, std::set<std::string>& accounted) {
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
            if (meter.stopped)
                return false;
        }
        check.slicesNeeded += piece.BadSlices();
    }
    return true;
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

} // namespace

CheckResult CheckPieces(const std::string& folder, const ProgressCallback& progress) {
    // Refused by name before anything is opened: reading a pipe or a device would never end.
    const PiecesOnDisk onDisk = FindPiecesOnDisk(folder);
    if (!onDisk.irregular.empty() || !onDisk.duplicate[0].empty()) {
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
    const uint64_t indexBytes = IndexBytes(folder);
    ReadResult read = ReadRecoverySet(folder, onDisk.regular, progress, 0, indexBytes);
    if (read.outcome == ReadOutcome::Stopped)
        return WithOutcome(CheckOutcome::Stopped);
    if (read.outcome != ReadOutcome::Found)
        return NotChecked(std::move(read));
    CheckResult result = WithOutcome(CheckOutcome::Checked);
    result.check.set = std::move(read.set);
    SetCheck& check = result.check;
    const RecoverySet& set = check.set;
    uint64_t total = indexBytes;
    for (const SetFile& f : set.files)
        total += f.length;
    Progress meter{progress, indexBytes, total};
    std::set<std::string> accounted; // paths that hold a file of the set intact under its own name
    if (!CheckEachFile(folder, onDisk, check, meter, accounted) || !FindRenamed(folder, check, meter, accounted))
        return WithOutcome(CheckOutcome::Stopped);
    check.undescribed = Undescribed(set, onDisk);
    // Told in the order of their names, not the set's order of file IDs.
    std::sort(check.pieces.begin(), check.pieces.end(), [&set](const PieceCheck& a, const PieceCheck& b) {
        return set.files[a.file].name < set.files[b.file].name;
    });
    return result;
}

} // namespace par2
