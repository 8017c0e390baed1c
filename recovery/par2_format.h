// The recovery files' format (PAR2) beyond its layout (core/par2_layout.h): whole packets with their MD5,
// file IDs and the constants of the input slices. Every writer and reader of recovery files uses these.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/par2_layout.h"
#include "recovery/md5.h"

namespace par2 {

using Id = std::array<uint8_t, 16>;

// Fills the 64-byte header of a packet whose body follows; the packet MD5 covers the set ID, the type
// and the body.
void WriteHeader(uint8_t* header, const Id& setId, const uint8_t* type, const uint8_t* body, uint64_t bodyLen);
// A whole packet; the body is padded with zeros to a multiple of 4.
std::vector<uint8_t> BuildPacket(const Id& setId, const uint8_t* type, std::vector<uint8_t> body);
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
