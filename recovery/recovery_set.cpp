#include "recovery/recovery_set.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "core/piece_name.h"
#include "platform/file.h"
#include "platform/find_files.h"
#include "recovery/file_range.h"
#include "recovery/set_choice.h"

namespace par2 {
namespace {

constexpr size_t kScanBlock = 1 << 20;
// Main, file description and checksum packets are small (the checksums of 32768 slices take 640 KiB);
// anything longer is hashed as it streams past and never held.
constexpr uint64_t kHeldPacket = 4 << 20;

struct SetParts {
    std::vector<uint8_t> main;
    std::map<Id, std::vector<uint8_t>> descriptions, checksums;
    std::map<uint32_t, RecoverySliceAt> recovery;
    std::set<std::string> files;
};

bool IsPieceFileName(const std::string& name) {
    return ParsePieceName(name.data(), name.size()).number >= 0;
}

// Offset of the next packet magic at or after `from`; `length` when there is none.
uint64_t FindMagic(File& file, uint64_t from, uint64_t length, std::vector<uint8_t>& block) {
    while (from + sizeof kMagic <= length) {
        const size_t got = ReadAt(file, from, block.data(), block.size());
        if (got < sizeof kMagic)
            break;
        const uint8_t* hit = std::search(block.data(), block.data() + got, kMagic, kMagic + sizeof kMagic);
        if (hit != block.data() + got)
            return from + static_cast<uint64_t>(hit - block.data());
        from += got - (sizeof kMagic - 1); // a magic cut by the block's end is found in the next one
    }
    return length;
}

// True when the packet at `offset` carries its own MD5; a short packet is kept in `held`.
bool CheckPacket(File& file, uint64_t offset, const PacketHeader& header, std::vector<uint8_t>& block,
                 std::vector<uint8_t>& held) {
    held.clear();
    if (header.length <= kHeldPacket) {
        held.resize(static_cast<size_t>(header.length));
        return ReadAt(file, offset, held.data(), held.size()) == held.size() &&
               PacketIntact(held.data(), header.length);
    }
    Md5 md5;
    for (uint64_t at = offset + 32, end = offset + header.length; at < end;) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), end - at));
        if (ReadAt(file, at, block.data(), want) != want)
            return false;
        md5.Update(block.data(), want);
        at += want;
    }
    return md5.Final() == header.hash;
}

void ScanFile(const FoundFile& found, std::map<Id, SetParts>& sets, uint32_t& damaged,
              const std::function<bool(uint64_t)>& advance) {
    File file(found.path, File::Mode::ReadDenyWrite);
    const uint64_t length = file.Length();
    std::vector<uint8_t> block(kScanBlock), held;
    uint64_t pos = 0;
    while ((pos = FindMagic(file, pos, length, block)) < length) {
        if (advance && !advance(pos))
            return;
        uint8_t head[kHeaderSize];
        PacketHeader header;
        if (ReadAt(file, pos, head, sizeof head) != sizeof head || !ParseHeader(head, header) ||
            header.length > length - pos || !CheckPacket(file, pos, header, block, held)) {
            if (ParseHeader(head, header))
                ++damaged;
            pos += 1;
            continue;
        }
        SetParts& parts = sets[header.setId];
        parts.files.insert(found.path);
        const uint8_t* body = held.empty() ? nullptr : held.data() + kHeaderSize;
        const size_t bodyLen = held.empty() ? 0 : held.size() - kHeaderSize;
        if (header.type == kMainType && body) {
            parts.main.assign(body, body + bodyLen);
        } else if ((header.type == kFileDescType || header.type == kSliceChecksumType) && bodyLen >= 16) {
            Id id;
            std::memcpy(id.data(), body, 16);
            auto& into = header.type == kFileDescType ? parts.descriptions : parts.checksums;
            into[id].assign(body, body + bodyLen);
        } else if (header.type == kRecoverySliceType && header.length >= kHeaderSize + 4) {
            uint8_t exponent[4];
            if (ReadAt(file, pos + kHeaderSize, exponent, 4) == 4)
                parts.recovery.emplace(GetU32(exponent),
                                       RecoverySliceAt{GetU32(exponent), found.path, pos + kHeaderSize + 4});
        }
        pos += header.length;
    }
    if (advance)
        advance(length);
}

enum class Built { NotPieces, Incomplete, Complete };

Built BuildSet(const Id& setId, const SetParts& parts, RecoverySet& set) {
    set = RecoverySet{};
    set.setId = setId;
    // Without the main packet, the descriptions alone tell whether the set is one of pieces: a set that
    // names none is some other program's business; one that names other files beside pieces is ours.
    bool anyPiece = false;
    for (const auto& [id, body] : parts.descriptions) {
        if (body.size() < 56)
            continue;
        std::string name(reinterpret_cast<const char*>(body.data()) + 56, body.size() - 56);
        name.resize(std::strlen(name.c_str()));
        anyPiece = anyPiece || IsPieceFileName(name);
    }
    if (!anyPiece)
        return Built::NotPieces;
    if (parts.main.size() < 12)
        return Built::Incomplete;
    set.sliceSize = GetU64(parts.main.data());
    const uint32_t count = GetU32(parts.main.data() + 8);
    if (set.sliceSize == 0 || set.sliceSize % 4 != 0 || parts.main.size() < 12 + uint64_t{16} * count)
        return Built::Incomplete;
    uint64_t slices = 0;
    for (uint32_t i = 0; i < count; ++i) {
        SetFile file;
        std::memcpy(file.id.data(), parts.main.data() + 12 + 16 * i, 16);
        const auto desc = parts.descriptions.find(file.id);
        const auto sums = parts.checksums.find(file.id);
        if (desc == parts.descriptions.end() || sums == parts.checksums.end() || desc->second.size() < 56)
            return Built::Incomplete;
        const uint8_t* d = desc->second.data();
        std::memcpy(file.hash.data(), d + 16, 16);
        std::memcpy(file.headHash.data(), d + 32, 16);
        file.length = GetU64(d + 48);
        file.name.assign(reinterpret_cast<const char*>(d) + 56, desc->second.size() - 56);
        file.name.resize(std::strlen(file.name.c_str()));
        file.isPiece = IsPieceFileName(file.name);
        const uint64_t sliceCount = (file.length + set.sliceSize - 1) / set.sliceSize;
        if (sums->second.size() < 16 + 20 * sliceCount || slices + sliceCount > kMaxInputSlices)
            return Built::Incomplete;
        file.firstSlice = static_cast<uint32_t>(slices);
        for (uint64_t s = 0; s < sliceCount; ++s) {
            SliceChecksum sum;
            std::memcpy(sum.md5.data(), sums->second.data() + 16 + 20 * s, 16);
            sum.crc = GetU32(sums->second.data() + 16 + 20 * s + 16);
            file.slices.push_back(sum);
        }
        slices += sliceCount;
        set.files.push_back(std::move(file));
    }
    for (const auto& [exponent, at] : parts.recovery)
        set.recovery.push_back(at);
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
    std::map<Id, SetParts> sets;
    std::vector<std::pair<std::string, uint32_t>> damagedFiles;
    uint32_t damaged = 0;
    uint64_t done = progressBase;
    bool stopped = false;
    for (const FoundFile& found : IndexFilesIn(folder)) {
        const uint64_t start = done;
        const uint32_t damagedBefore = damaged;
        ScanFile(found, sets, damaged, [&](uint64_t at) {
            if (progress && !progress(start + at, progressTotal))
                stopped = true;
            return !stopped;
        });
        if (stopped)
            return {ReadOutcome::Stopped, {}, {}};
        if (damaged > damagedBefore)
            damagedFiles.emplace_back(found.path, damaged - damagedBefore);
        done = start + found.size;
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
