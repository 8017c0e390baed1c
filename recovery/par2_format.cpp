#include "recovery/par2_format.h"

#include <cstring>

#include "recovery/gf16.h"

namespace par2 {
namespace {
Id TypeOf(const char (&text)[17]) {
    Id id;
    std::memcpy(id.data(), text, 16);
    return id;
}
} // namespace

const uint8_t kMagic[8] = {'P', 'A', 'R', '2', 0, 'P', 'K', 'T'};
const Id kMainType = TypeOf("PAR 2.0\0Main\0\0\0\0");
const Id kFileDescType = TypeOf("PAR 2.0\0FileDesc");
const Id kSliceChecksumType = TypeOf("PAR 2.0\0IFSC\0\0\0\0");
const Id kRecoverySliceType = TypeOf("PAR 2.0\0RecvSlic");
const Id kCreatorType = TypeOf("PAR 2.0\0Creator\0");

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

uint64_t GetU64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void WriteHeader(uint8_t* header, const Id& setId, const Id& type, const uint8_t* body, uint64_t bodyLen) {
    std::memcpy(header, kMagic, 8);
    PutU64(header + 8, kHeaderSize + bodyLen);
    std::memcpy(header + 32, setId.data(), 16);
    std::memcpy(header + 48, type.data(), 16);
    Md5 md5;
    md5.Update(header + 32, 32);
    md5.Update(body, static_cast<size_t>(bodyLen));
    const Md5Digest hash = md5.Final();
    std::memcpy(header + 16, hash.data(), 16);
}

std::vector<uint8_t> BuildPacket(const Id& setId, const Id& type, std::vector<uint8_t> body) {
    body.resize((body.size() + 3) & ~size_t{3}, 0);
    std::vector<uint8_t> packet(kHeaderSize + body.size());
    std::memcpy(packet.data() + kHeaderSize, body.data(), body.size());
    WriteHeader(packet.data(), setId, type, packet.data() + kHeaderSize, body.size());
    return packet;
}

bool ParseHeader(const uint8_t* p, PacketHeader& out) {
    if (std::memcmp(p, kMagic, 8) != 0)
        return false;
    out.length = GetU64(p + 8);
    if (out.length < kHeaderSize || out.length % 4 != 0)
        return false;
    std::memcpy(out.hash.data(), p + 16, 16);
    std::memcpy(out.setId.data(), p + 32, 16);
    std::memcpy(out.type.data(), p + 48, 16);
    return true;
}

bool PacketIntact(const uint8_t* packet, uint64_t length) {
    if (length < kHeaderSize)
        return false;
    const Md5Digest hash = Md5Of(packet + 32, static_cast<size_t>(length - 32));
    return std::memcmp(hash.data(), packet + 16, 16) == 0;
}

Id FileIdOf(const Md5Digest& headHash, uint64_t length, const std::string& name) {
    uint8_t len[8];
    PutU64(len, length);
    Md5 md5;
    md5.Update(headHash.data(), headHash.size());
    md5.Update(len, sizeof len);
    md5.Update(name.data(), name.size());
    return md5.Final();
}

bool FileIdLess(const Id& a, const Id& b) {
    for (int i = 15; i >= 0; --i)
        if (a[i] != b[i])
            return a[i] < b[i];
    return false;
}

uint16_t InputExponent(uint32_t i) {
    // The exponents coprime to 65535, in rising order; built once (32768 of them).
    static const std::vector<uint16_t> exponents = [] {
        std::vector<uint16_t> e;
        e.reserve(kMaxInputSlices);
        for (uint32_t n = 1; n < 65535 && e.size() < kMaxInputSlices; ++n)
            if (n % 3 && n % 5 && n % 17 && n % 257)
                e.push_back(static_cast<uint16_t>(n));
        return e;
    }();
    return exponents[i];
}

uint16_t InputFactor(uint32_t i, uint32_t exponent) {
    return gf16::Exp2(static_cast<uint64_t>(InputExponent(i)) * exponent);
}

} // namespace par2
