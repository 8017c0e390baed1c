#include "recovery/par2_format.h"

#include <cstring>

#include "recovery/gf16.h"

namespace par2 {

void WriteHeader(uint8_t* header, const Id& setId, const uint8_t* type, const uint8_t* body, uint64_t bodyLen) {
    PutHeader(header, bodyLen, setId.data(), type);
    Md5 md5;
    md5.Update(header + kHashedFrom, kHeaderSize - kHashedFrom);
    md5.Update(body, static_cast<size_t>(bodyLen));
    const Md5Digest hash = md5.Final();
    std::memcpy(header + kPacketHashAt, hash.data(), 16);
}

std::vector<uint8_t> BuildPacket(const Id& setId, const uint8_t* type, std::vector<uint8_t> body) {
    body.resize((body.size() + 3) & ~size_t{3}, 0);
    std::vector<uint8_t> packet(kHeaderSize + body.size());
    std::memcpy(packet.data() + kHeaderSize, body.data(), body.size());
    WriteHeader(packet.data(), setId, type, packet.data() + kHeaderSize, body.size());
    return packet;
}

bool PacketIntact(const uint8_t* packet, uint64_t length) {
    if (length < kHeaderSize)
        return false;
    const Md5Digest hash = Md5Of(packet + kHashedFrom, static_cast<size_t>(length - kHashedFrom));
    return std::memcmp(hash.data(), packet + kPacketHashAt, 16) == 0;
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
