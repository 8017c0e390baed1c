// Crafted recovery files for tests: a PAR2 set described field by field from files' bytes, which a test may
// then change (numbers however wrong, packets left out, repeated or cut) before it is laid out as packets,
// each carrying its own MD5 unless the test breaks that too.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/crc32.h"
#include "core/par2_layout.h"
#include "recovery/gf16.h"
#include "recovery/par2_format.h"

struct CraftedFile {
    std::string name;
    std::string bytes;   // what the description was computed from
    uint64_t length = 0; // as recorded
    par2::Id id{};
    Md5Digest hash{}, headHash{};
    std::vector<std::pair<Md5Digest, uint32_t>> slices; // MD5 and CRC-32 of each slice, zero-padded
};

struct CraftedSet {
    uint64_t sliceSize = 0;
    // In file ID order, as the main packet lists them.
    std::vector<CraftedFile> files;
    // Exponent and data of each recovery slice.
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> recovery;

    std::vector<uint8_t> MainBody() const {
        std::vector<uint8_t> body(par2::MainSize(static_cast<uint32_t>(files.size())));
        par2::PutMain(body.data(), sliceSize, static_cast<uint32_t>(files.size()));
        for (size_t f = 0; f < files.size(); ++f)
            std::memcpy(body.data() + par2::kMainFixed + 16 * f, files[f].id.data(), 16);
        return body;
    }
    par2::Id SetId() const {
        const std::vector<uint8_t> body = MainBody();
        return Md5Of(body.data(), body.size());
    }
    std::vector<uint8_t> MainPacket() const { return par2::BuildPacket(SetId(), par2::kMainType, MainBody()); }
    std::vector<uint8_t> DescriptionPacket(size_t f) const {
        par2::FileDescription d;
        d.fileId = files[f].id.data();
        d.hash = files[f].hash.data();
        d.headHash = files[f].headHash.data();
        d.length = files[f].length;
        d.name = files[f].name.data();
        d.nameLen = files[f].name.size();
        std::vector<uint8_t> body(par2::FileDescriptionSize(d.nameLen));
        par2::PutFileDescription(body.data(), d);
        return par2::BuildPacket(SetId(), par2::kFileDescType, body);
    }
    std::vector<uint8_t> ChecksumPacket(size_t f) const {
        const uint32_t count = static_cast<uint32_t>(files[f].slices.size());
        std::vector<uint8_t> body(par2::SliceChecksumsSize(count));
        par2::PutSliceChecksums(body.data(), files[f].id.data());
        for (uint32_t s = 0; s < count; ++s) {
            par2::PutSliceMd5(body.data() + par2::kSliceChecksumsFixed, s, files[f].slices[s].first.data());
            par2::PutSliceCrc(body.data() + par2::kSliceChecksumsFixed, s, files[f].slices[s].second);
        }
        return par2::BuildPacket(SetId(), par2::kSliceChecksumType, body);
    }
    std::vector<uint8_t> RecoveryPacket(size_t r) const {
        std::vector<uint8_t> body(par2::kRecoverySliceFixed);
        par2::PutRecoverySlice(body.data(), recovery[r].first);
        body.insert(body.end(), recovery[r].second.begin(), recovery[r].second.end());
        return par2::BuildPacket(SetId(), par2::kRecoverySliceType, body);
    }
    std::vector<uint8_t> CreatorPacket() const {
        return par2::BuildPacket(SetId(), par2::kCreatorType, {'t', 'e', 's', 't'});
    }
    // The main packet, each file's description and checksums, the recovery slices, the creator.
    std::vector<uint8_t> AllPackets() const {
        std::vector<uint8_t> out = MainPacket();
        auto add = [&out](const std::vector<uint8_t>& p) { out.insert(out.end(), p.begin(), p.end()); };
        for (size_t f = 0; f < files.size(); ++f) {
            add(DescriptionPacket(f));
            add(ChecksumPacket(f));
        }
        for (size_t r = 0; r < recovery.size(); ++r)
            add(RecoveryPacket(r));
        add(CreatorPacket());
        return out;
    }
    std::string AllPacketsText() const {
        const std::vector<uint8_t> bytes = AllPackets();
        return std::string(bytes.begin(), bytes.end());
    }
};

// The honest description of these files (name and bytes) in slices of sliceSize, with recovery slices of the
// given exponents.
inline CraftedSet CraftSet(const std::vector<std::pair<std::string, std::string>>& named, uint64_t sliceSize,
                           const std::vector<uint32_t>& exponents) {
    CraftedSet set;
    set.sliceSize = sliceSize;
    for (const auto& [name, bytes] : named) {
        CraftedFile f;
        f.name = name;
        f.bytes = bytes;
        f.length = bytes.size();
        f.hash = Md5Of(bytes.data(), bytes.size());
        f.headHash = Md5Of(bytes.data(), std::min<size_t>(bytes.size(), par2::kHashedHead));
        f.id = par2::FileIdOf(f.headHash, f.length, name);
        set.files.push_back(std::move(f));
    }
    std::sort(set.files.begin(), set.files.end(),
              [](const CraftedFile& a, const CraftedFile& b) { return par2::FileIdLess(a.id, b.id); });
    std::vector<std::vector<uint8_t>> slices; // every input slice, zero-padded, in set order
    for (CraftedFile& f : set.files)
        for (size_t at = 0; at < f.bytes.size(); at += sliceSize) {
            std::vector<uint8_t> slice(sliceSize, 0);
            std::memcpy(slice.data(), f.bytes.data() + at, std::min<size_t>(sliceSize, f.bytes.size() - at));
            f.slices.push_back(
                {Md5Of(slice.data(), slice.size()), Crc32Fast(0xFFFFFFFF, slice.data(), slice.size()) ^ 0xFFFFFFFF});
            slices.push_back(std::move(slice));
        }
    for (uint32_t e : exponents) {
        std::vector<uint8_t> data(sliceSize, 0);
        for (uint32_t i = 0; i < slices.size(); ++i)
            gf16::MulAdd(par2::InputFactor(i, e), slices[i].data(), data.data(), sliceSize);
        set.recovery.push_back({e, std::move(data)});
    }
    return set;
}
