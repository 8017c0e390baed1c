#include "recovery/recovery_set.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

#include "core/piece_name.h"
#include "platform/file.h"
#include "platform/find_files.h"
#include "recovery/file_range.h"
#include "recovery/piece_hashing.h"
#include "recovery/set_choice.h"

namespace par2 {
namespace {

constexpr size_t kScanBlock = 1 << 20;
constexpr size_t kScanStep = 64 << 10;
// Main, file description and checksum packets are small (the checksums of 32768 slices take 640 KiB);
// anything longer is hashed as it streams past and never held.
constexpr uint64_t kHeldPacket = 4 << 20;

// Recovery packets at least this long are hashed after the scan, side by side with the others of the
// folder's files; shorter ones (none of a usual set) are hashed as they are met.
constexpr uint64_t kHashedLater = 64 << 10;

// A recovery packet whose MD5 is checked after the scan.
struct PendingPacket {
    size_t file; // index into the folder's index files
    uint64_t pos;
    PacketHeader header;
};

// A recovery packet as found, before the main packet says which data length is a slice: kept small, as a
// hostile file may hold many.
struct RecoveryCandidate {
    uint32_t exponent;
    uint32_t file; // index into SetParts::paths
    uint64_t dataLength;
    uint64_t offset; // of its data
};

struct SetParts {
    std::vector<uint8_t> main;
    std::map<Id, std::vector<uint8_t>> descriptions, checksums;
    // In the order found: a packet of another length must not shadow the slice of its exponent.
    std::vector<RecoveryCandidate> recovery;
    std::set<std::string> files;
    std::vector<std::string> paths; // the files holding recovery packets of the set
};

Id IdOf(const uint8_t* bytes) {
    Id id;
    std::memcpy(id.data(), bytes, id.size());
    return id;
}

bool IsPieceFileName(const std::string& name) {
    return ParsePieceName(name.data(), name.size()).number >= 0;
}

// A file's bytes through one window that moves forward only: the scan reads each byte about once,
// however many headers it tries. The window's bytes (kScanBlock of them) are the caller's.
class ScanWindow {
public:
    ScanWindow(File& file, std::vector<uint8_t>& bytes) : file_(file), length_(file.Length()), bytes_(bytes) {}
    uint64_t Length() const { return length_; }

    // Bytes [at, at + len) of the file (len at most a block); null where the file ends before.
    const uint8_t* At(uint64_t at, size_t len) {
        if (at > length_ || len > length_ - at)
            return nullptr;
        if (at < start_ || at + len > start_ + fill_) {
            // A step at a time, not a whole block: what follows a long recovery packet is read past it, and
            // the packet itself only by its hashing.
            start_ = at;
            fill_ = ReadAt(file_, at, bytes_.data(), std::min(bytes_.size(), std::max(len, kScanStep)));
            if (fill_ < len)
                return nullptr;
        }
        return bytes_.data() + (at - start_);
    }

    // Offset of the next packet magic at or after `from`; the file's length when there is none.
    uint64_t FindMagic(uint64_t from) {
        for (const uint8_t* p; (p = At(from, sizeof kMagic)) != nullptr;) {
            const uint8_t* end = bytes_.data() + fill_;
            const uint8_t* hit = std::search(p, end, kMagic, kMagic + sizeof kMagic);
            if (hit != end)
                return start_ + static_cast<uint64_t>(hit - bytes_.data());
            // A magic cut by the window's end is found in the next one.
            from = start_ + fill_ - (sizeof kMagic - 1);
            if (At(from, kScanBlock < length_ - from ? kScanBlock : static_cast<size_t>(length_ - from)) == nullptr)
                break;
        }
        return length_;
    }

private:
    File& file_;
    uint64_t length_;
    std::vector<uint8_t>& bytes_;
    uint64_t start_ = 0;
    size_t fill_ = 0;
};

// True when the packet at `offset` carries its own MD5; a short packet is kept in `held`.
bool CheckPacket(File& file, ScanWindow& window, uint64_t offset, const PacketHeader& header,
                 std::vector<uint8_t>& block, std::vector<uint8_t>& held) {
    held.clear();
    if (header.length <= kHeldPacket) {
        // From the window where it fits: the critical packets, repeated in every file, are many and small.
        held.resize(static_cast<size_t>(header.length));
        const uint8_t* bytes = header.length <= kScanBlock ? window.At(offset, held.size()) : nullptr;
        if (bytes)
            std::memcpy(held.data(), bytes, held.size());
        return (bytes || ReadAt(file, offset, held.data(), held.size()) == held.size()) &&
               PacketIntact(held.data(), header.length);
    }
    Md5 md5;
    for (uint64_t at = offset + kHashedFrom, end = offset + header.length; at < end;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), end - at));
        if (ReadAt(file, at, block.data(), want) != want)
            return false;
        md5.Update(block.data(), want);
        at += want;
    }
    const Md5Digest hash = md5.Final();
    return SameBytes(hash.data(), header.hash, 16);
}

// An intact packet into the parts of its set; critical packets only when their bodies read as the layout
// says, so that every body kept can be used, and a main packet only when the set ID is its MD5.
void KeepPacket(File& file, const std::string& path, uint64_t pos, const PacketHeader& header,
                const std::vector<uint8_t>& held, SetParts& parts) {
    const uint8_t* body = held.empty() ? nullptr : held.data() + kHeaderSize;
    const uint64_t bodyLen = header.BodyLength();
    MainBody main;
    if (header.kind == PacketType::Main && body) {
        const Md5Digest setId = Md5Of(body, static_cast<size_t>(bodyLen));
        if (ReadMain(body, bodyLen, main) && SameBytes(setId.data(), header.setId, 16))
            parts.main.assign(body, body + bodyLen);
    } else if (header.kind == PacketType::FileDescription && body) {
        FileDescription desc;
        if (ReadFileDescription(body, bodyLen, desc))
            parts.descriptions[IdOf(desc.fileId)].assign(body, body + bodyLen);
    } else if (header.kind == PacketType::SliceChecksums && body) {
        SliceChecksums sums;
        if (ReadSliceChecksums(body, bodyLen, sums))
            parts.checksums[IdOf(sums.fileId)].assign(body, body + bodyLen);
    } else if (header.kind == PacketType::RecoverySlice) {
        uint8_t fixed[kRecoverySliceFixed];
        RecoverySlice slice;
        if (bodyLen >= sizeof fixed && ReadAt(file, pos + kHeaderSize, fixed, sizeof fixed) == sizeof fixed &&
            ReadRecoverySlice(fixed, bodyLen, slice)) {
            if (parts.paths.empty() || parts.paths.back() != path)
                parts.paths.push_back(path);
            parts.recovery.push_back({slice.exponent, static_cast<uint32_t>(parts.paths.size() - 1), slice.dataLength,
                                      pos + kHeaderSize + kRecoverySliceFixed});
        }
    }
}

// The critical packets found intact so far, by their MD5: every file of a set repeats them, and a packet
// the same to the byte as one already checked needs neither its MD5 nor keeping again.
class KnownPackets {
    // A packet's MD5 is its own hash key: only intact packets are known, so no file chooses the buckets.
    struct ByHash {
        size_t operator()(const Id& id) const {
            size_t key;
            std::memcpy(&key, id.data(), sizeof key);
            return key;
        }
    };

public:
    bool Has(const PacketHeader& header, ScanWindow& window, uint64_t pos) {
        const auto it = known_.find(IdOf(header.hash));
        if (it == known_.end() || it->second.size() != header.length)
            return false;
        const uint8_t* bytes = window.At(pos, it->second.size());
        return bytes && std::memcmp(bytes, it->second.data(), it->second.size()) == 0;
    }
    void Add(const PacketHeader& header, const std::vector<uint8_t>& held) {
        const bool critical = header.kind == PacketType::Main || header.kind == PacketType::FileDescription ||
                              header.kind == PacketType::SliceChecksums;
        if (critical && !held.empty() && held.size() <= kScanBlock)
            known_.emplace(IdOf(header.hash), held);
    }

private:
    std::unordered_map<Id, std::vector<uint8_t>, ByHash> known_;
};

// What the scans of the folder's index files gather.
struct Scan {
    std::map<Id, SetParts> sets;
    std::vector<PendingPacket> pending; // long recovery packets, hashed after the scans
    KnownPackets known;
    // The window and the block every file is read through, taken once for all of them.
    std::vector<uint8_t> window = std::vector<uint8_t>(kScanBlock), block = std::vector<uint8_t>(kScanBlock);
};

// One pass over the file (long recovery packets left pending): a packet that fails its MD5 is passed over by its
// length when that fits the file, else by the next magic after it, so no byte is hashed twice however the headers lie.
void ScanFile(const FoundFile& found, size_t index, Scan& scan, uint32_t& damaged, ProgressMeter& meter) {
    File file(found.path, File::Mode::ReadDenyWrite);
    ScanWindow window(file, scan.window);
    const uint64_t length = window.Length();
    std::vector<uint8_t>& block = scan.block;
    std::vector<uint8_t> held;
    uint64_t counted = 0;
    // The set the file's last packet belonged to: a file's packets are mostly of one set, and one entry in
    // its list of files is enough.
    std::optional<Id> listedIn;
    auto partsOf = [&](const PacketHeader& header) -> SetParts& {
        SetParts& parts = scan.sets[IdOf(header.setId)];
        if (!listedIn || !SameBytes(listedIn->data(), header.setId, 16)) {
            parts.files.insert(found.path);
            listedIn = IdOf(header.setId);
        }
        return parts;
    };
    for (uint64_t pos = window.FindMagic(0); pos < length;) {
        // The meter is told a block at a time: the packets of a file are many and small.
        if (pos - counted >= kScanBlock) {
            meter.Advance(pos - counted);
            counted = pos;
        }
        const uint8_t* head = window.At(pos, kHeaderSize);
        PacketHeader header;
        const bool parsed = head && ReadHeader(head, header);
        if (!parsed || header.length > length - pos) {
            if (parsed)
                ++damaged; // cut short, or its length damaged
            pos = head ? window.FindMagic(pos + 1) : length;
            continue;
        }
        if (header.kind == PacketType::RecoverySlice && header.length >= kHashedLater) {
            scan.pending.push_back({index, pos, header});
        } else if (scan.known.Has(header, window, pos)) {
            partsOf(header);
        } else if (!CheckPacket(file, window, pos, header, block, held)) {
            ++damaged;
        } else {
            KeepPacket(file, found.path, pos, header, held, partsOf(header));
            scan.known.Add(header, held);
        }
        pos = window.FindMagic(pos + header.length);
    }
    meter.Advance(length - counted);
}

// The recovery packets left by the scans, hashed side by side: the intact ones kept, the others counted
// as damage of their files.
void CheckPending(const std::vector<FoundFile>& files, const std::vector<PendingPacket>& pending,
                  std::map<Id, SetParts>& sets, std::vector<uint32_t>& damagedIn) {
    std::vector<FileSpan> spans;
    for (const PendingPacket& p : pending)
        spans.push_back({files[p.file].path, p.pos + kHashedFrom, p.header.length - kHashedFrom});
    const std::vector<FileDigest> digests = HashSpans(spans, nullptr);
    File file;
    size_t open = files.size();
    for (size_t i = 0; i < pending.size(); ++i) {
        const PendingPacket& p = pending[i];
        if (digests[i].length != spans[i].length || !SameBytes(digests[i].md5.data(), p.header.hash, 16)) {
            ++damagedIn[p.file];
            continue;
        }
        if (open != p.file) {
            if (file.IsOpen())
                file.Close();
            file.Open(files[p.file].path, File::Mode::ReadDenyWrite);
            open = p.file;
        }
        SetParts& parts = sets[IdOf(p.header.setId)];
        parts.files.insert(files[p.file].path);
        KeepPacket(file, files[p.file].path, p.pos, p.header, {}, parts);
    }
}

// Every index file scanned, then their long recovery packets checked.
void ScanAll(const std::vector<FoundFile>& files, ProgressMeter& meter, std::map<Id, SetParts>& sets,
             std::vector<uint32_t>& damagedIn) {
    Scan scan;
    for (size_t f = 0; f < files.size(); ++f)
        ScanFile(files[f], f, scan, damagedIn[f], meter);
    CheckPending(files, scan.pending, scan.sets, damagedIn);
    sets = std::move(scan.sets);
}

enum class Built { NotPieces, Incomplete, Complete };

std::string NameOf(const FileDescription& desc) {
    return std::string(desc.name, desc.nameLen);
}

// The file of the set with that ID, by the layout's checks against the main packet; false when its
// description or checksums are missing or do not fit the set (slices beyond the set's limit included).
bool ReadSetFile(const MainBody& main, const Id& id, const SetParts& parts, uint64_t& slices, SetFile& file) {
    const auto desc = parts.descriptions.find(id);
    const auto sums = parts.checksums.find(id);
    FileDescription d;
    SliceChecksums c;
    if (desc == parts.descriptions.end() || sums == parts.checksums.end() ||
        !ReadFileDescription(desc->second.data(), desc->second.size(), d) ||
        !ReadSliceChecksums(sums->second.data(), sums->second.size(), c) || !CountsFile(main, d, c) ||
        c.count > kMaxInputSlices - slices)
        return false;
    file.id = id;
    std::memcpy(file.hash.data(), d.hash, 16);
    std::memcpy(file.headHash.data(), d.headHash, 16);
    file.length = d.length;
    file.name = NameOf(d);
    file.firstSlice = static_cast<uint32_t>(slices);
    file.slices.resize(c.count);
    for (uint32_t s = 0; s < c.count; ++s) {
        std::memcpy(file.slices[s].md5.data(), c.Md5(s), 16);
        file.slices[s].crc = c.Crc(s);
    }
    slices += c.count;
    return true;
}

Built BuildSet(const Id& setId, const SetParts& parts, RecoverySet& set) {
    set = RecoverySet{};
    set.setId = setId;
    // Without the main packet, the descriptions alone tell whether the set is one of pieces: a set that
    // names none is some other program's business; one that names other files beside pieces is ours.
    bool anyPiece = false;
    for (const auto& [id, body] : parts.descriptions) {
        FileDescription desc;
        if (!ReadFileDescription(body.data(), body.size(), desc))
            continue;
        anyPiece = anyPiece || IsPieceFileName(NameOf(desc));
    }
    if (!anyPiece)
        return Built::NotPieces;
    MainBody main;
    if (!ReadMain(parts.main.data(), parts.main.size(), main))
        return Built::Incomplete;
    set.sliceSize = main.sliceSize;
    uint64_t slices = 0;
    for (uint32_t i = 0; i < main.files; ++i) {
        SetFile file;
        if (!ReadSetFile(main, IdOf(main.fileIds + 16 * i), parts, slices, file))
            return Built::Incomplete;
        file.isPiece = IsPieceFileName(file.name);
        set.files.push_back(std::move(file));
    }
    // One recovery slice per exponent, the first found of exactly one slice's data.
    std::vector<RecoveryCandidate> found = parts.recovery;
    std::stable_sort(found.begin(), found.end(),
                     [](const RecoveryCandidate& a, const RecoveryCandidate& b) { return a.exponent < b.exponent; });
    for (const RecoveryCandidate& c : found) {
        RecoverySlice slice;
        slice.exponent = c.exponent;
        slice.dataLength = c.dataLength;
        if (IsSliceOf(main, slice) && (set.recovery.empty() || set.recovery.back().exponent != c.exponent))
            set.recovery.push_back({c.exponent, parts.paths[c.file], c.offset});
    }
    set.indexFiles.assign(parts.files.begin(), parts.files.end());
    return Built::Complete;
}

std::vector<FoundFile> IndexFilesIn(const std::string& folder) {
    std::vector<FoundFile> found;
    for (FoundFile& f : FindFiles(folder + "\\*.par2"))
        if (!f.isFolder && !f.isSpecial)
            found.push_back(std::move(f));
    std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
    return found;
}

} // namespace

uint32_t RecoverySet::InputSlices() const {
    uint32_t n = 0;
    for (const SetFile& f : files)
        n += static_cast<uint32_t>(f.slices.size());
    return n;
}

uint64_t IndexBytes(const std::string& folder) {
    uint64_t bytes = 0;
    for (const FoundFile& f : IndexFilesIn(folder))
        bytes += f.size;
    return bytes;
}

ReadResult ReadRecoverySet(const std::string& folder, const std::vector<PresentPiece>& pieces,
                           const ProgressCallback& progress, uint64_t progressBase, uint64_t progressTotal) {
    ProgressMeter meter(progress, progressTotal);
    meter.Skip(progressBase);
    try {
        return ReadRecoverySet(folder, pieces, meter);
    } catch (const JobStopped&) {
        return {ReadOutcome::Stopped, {}, {}};
    }
}

ReadResult ReadRecoverySet(const std::string& folder, const std::vector<PresentPiece>& pieces, ProgressMeter& meter) {
    std::map<Id, SetParts> sets;
    const std::vector<FoundFile> files = IndexFilesIn(folder);
    std::vector<uint32_t> damagedIn(files.size(), 0);
    ScanAll(files, meter, sets, damagedIn);
    std::vector<std::pair<std::string, uint32_t>> damagedFiles;
    uint32_t damaged = 0;
    for (size_t f = 0; f < files.size(); ++f)
        if (damagedIn[f] > 0) {
            damagedFiles.emplace_back(files[f].path, damagedIn[f]);
            damaged += damagedIn[f];
        }
    ReadResult result;
    std::vector<RecoverySet> complete;
    for (const auto& [id, parts] : sets) {
        RecoverySet set;
        const Built built = BuildSet(id, parts, set);
        if (built == Built::Complete) {
            complete.push_back(std::move(set));
        } else if (built == Built::Incomplete && result.outcome == ReadOutcome::NoIndex) {
            result.outcome = ReadOutcome::Incomplete;
            result.set.indexFiles.assign(parts.files.begin(), parts.files.end());
        }
    }
    if (!complete.empty()) {
        const SetChoice choice = ChooseSet(complete, pieces);
        result.outcome = choice.outcome == ChoiceOutcome::Chosen    ? ReadOutcome::Found
                         : choice.outcome == ChoiceOutcome::NoMatch ? ReadOutcome::NoMatch
                                                                    : ReadOutcome::TwoSets;
        result.set = std::move(complete[choice.chosen]);
        if (choice.outcome == ChoiceOutcome::TwoSets)
            result.otherIndexFiles = complete[choice.other].indexFiles;
    }
    result.set.damagedPackets = damaged;
    result.set.damagedFiles = std::move(damagedFiles);
    return result;
}

ReadResult ReadRecoverySet(const std::string& folder) {
    return ReadRecoverySet(folder, FindPiecesOnDisk(folder).regular);
}

} // namespace par2
