// The recovery files' format (PAR2): packets, their header, file IDs and the constants of the input
// slices. Every writer and reader of recovery files uses these.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "recovery/md5.h"

namespace par2 {

using Id = std::array<uint8_t, 16>;

constexpr size_t kHeaderSize = 64;          // magic, length, packet MD5, recovery set ID, type
constexpr uint32_t kMaxInputSlices = 32768; // one constant per exponent coprime to 65535
constexpr uint64_t kHashedHead = 16384;     // a file's first 16 KiB get an MD5 of their own

extern const uint8_t kMagic[8];     // "PAR2\0PKT"
extern const Id kMainType;          // "PAR 2.0\0Main\0\0\0\0"
extern const Id kFileDescType;      // "PAR 2.0\0FileDesc"
extern const Id kSliceChecksumType; // "PAR 2.0\0IFSC\0\0\0\0"
extern const Id kRecoverySliceType; // "PAR 2.0\0RecvSlic"
extern const Id kCreatorType;       // "PAR 2.0\0Creator\0"

void PutU32(uint8_t* p, uint32_t v);
void PutU64(uint8_t* p, uint64_t v);
uint32_t GetU32(const uint8_t* p);
uint64_t GetU64(const uint8_t* p);

// Fills the 64-byte header of a packet whose body follows; the packet MD5 covers the set ID, the type
// and the body.
void WriteHeader(uint8_t* header, const Id& setId, const Id& type, const uint8_t* body, uint64_t bodyLen);
// A whole packet; the body is padded with zeros to a multiple of 4.
std::vector<uint8_t> BuildPacket(const Id& setId, const Id& type, std::vector<uint8_t> body);

struct PacketHeader {
    uint64_t length = 0; // the whole packet, header included
    Md5Digest hash{};
    Id setId{};
    Id type{};
};
// False when the bytes are not a packet header (magic, or a length below 64 or not a multiple of 4).
bool ParseHeader(const uint8_t* p, PacketHeader& out);
// True when a whole packet of that length (header included) carries its own MD5.
bool PacketIntact(const uint8_t* packet, uint64_t length);

// File ID = MD5(MD5 of the first 16 KiB, length, name).
Id FileIdOf(const Md5Digest& headHash, uint64_t length, const std::string& name);
// The main packet lists file IDs in the order of 128-bit little-endian numbers.
bool FileIdLess(const Id& a, const Id& b);

// Input slice i (0-based, over the files in main-packet order) is multiplied by 2^InputExponent(i)
// raised to the recovery slice's exponent; InputExponent skips exponents divisible by 3, 5, 17 or 257.
uint16_t InputExponent(uint32_t i);
// The factor of input slice i in recovery slice `exponent`: (2^InputExponent(i))^exponent.
uint16_t InputFactor(uint32_t i, uint32_t exponent);

} // namespace par2
