// Recovery files for tests that cannot run par2cmdline (the Windows suites): one "_Split#.par2" with the
// critical packets and recovery slices of the given exponents over the named files of a folder.
#pragma once

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "recovery/gf16.h"
#include "recovery/par2_format.h"

inline void WriteRecoveryFile(const std::string& folder, std::vector<std::string> names, uint64_t sliceSize,
                              const std::vector<uint32_t>& exponents) {
    struct Described {
        par2::Id id;
        std::string name, bytes;
    };
    std::vector<Described> files;
    for (const std::string& name : names) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const Md5Digest head = Md5Of(bytes.data(), std::min<size_t>(bytes.size(), par2::kHashedHead));
        files.push_back({par2::FileIdOf(head, bytes.size(), name), name, bytes});
    }
    std::sort(files.begin(), files.end(),
              [](const Described& a, const Described& b) { return par2::FileIdLess(a.id, b.id); });
    auto put64 = [](std::vector<uint8_t>& v, uint64_t x) {
        v.resize(v.size() + 8);
        par2::PutU64(v.data() + v.size() - 8, x);
    };
    auto putBytes = [](std::vector<uint8_t>& v, const void* p, size_t n) {
        v.insert(v.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    };
    std::vector<uint8_t> main;
    put64(main, sliceSize);
    main.resize(main.size() + 4);
    par2::PutU32(main.data() + 8, static_cast<uint32_t>(files.size()));
    for (const Described& f : files)
        putBytes(main, f.id.data(), 16);
    const par2::Id setId = Md5Of(main.data(), main.size());

    std::vector<uint8_t> out = par2::BuildPacket(setId, par2::kMainType, main);
    std::vector<std::vector<uint8_t>> slices; // every input slice, zero-padded, in set order
    for (const Described& f : files) {
        std::vector<uint8_t> desc, sums;
        const Md5Digest whole = Md5Of(f.bytes.data(), f.bytes.size());
        const Md5Digest head = Md5Of(f.bytes.data(), std::min<size_t>(f.bytes.size(), par2::kHashedHead));
        putBytes(desc, f.id.data(), 16);
        putBytes(desc, whole.data(), 16);
        putBytes(desc, head.data(), 16);
        put64(desc, f.bytes.size());
        putBytes(desc, f.name.data(), f.name.size());
        putBytes(sums, f.id.data(), 16);
        for (size_t at = 0; at < f.bytes.size(); at += sliceSize) {
            std::vector<uint8_t> slice(sliceSize, 0);
            std::memcpy(slice.data(), f.bytes.data() + at, std::min<size_t>(sliceSize, f.bytes.size() - at));
            const Md5Digest md5 = Md5Of(slice.data(), slice.size());
            uint8_t crc[4];
            par2::PutU32(crc, Crc32Fast(0xFFFFFFFF, slice.data(), slice.size()) ^ 0xFFFFFFFF);
            putBytes(sums, md5.data(), 16);
            putBytes(sums, crc, 4);
            slices.push_back(std::move(slice));
        }
        for (const auto& packet : {par2::BuildPacket(setId, par2::kFileDescType, desc),
                                   par2::BuildPacket(setId, par2::kSliceChecksumType, sums)})
            putBytes(out, packet.data(), packet.size());
    }
    for (uint32_t e : exponents) {
        std::vector<uint8_t> body(4 + sliceSize, 0);
        par2::PutU32(body.data(), e);
        for (uint32_t i = 0; i < slices.size(); ++i)
            gf16::MulAdd(par2::InputFactor(i, e), slices[i].data(), body.data() + 4, sliceSize);
        const auto packet = par2::BuildPacket(setId, par2::kRecoverySliceType, body);
        putBytes(out, packet.data(), packet.size());
    }
    const auto creator = par2::BuildPacket(setId, par2::kCreatorType, {'t', 'e', 's', 't'});
    putBytes(out, creator.data(), creator.size());
    std::ofstream(folder + "/_Split#.par2", std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), out.size());
}
