// What the recovery-file fuzz targets share: the pieces an input speaks of, and the repair of its packets'
// MD5s and set IDs, so that mutated numbers reach the checks behind the MD5 instead of stopping at it.
//
// An input: one flags byte (bit 0: repair the packets), three 16-bit piece lengths (little-endian, 0 for
// no piece), then the bytes of the recovery file. The seeds in recovery_corpus/ were made from honest sets
// over these very pieces (tests/support/par2_packet_writer.h), then given the fault each is named for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/par2_layout.h"
#include "core/small_md5.h"

namespace fuzz_input {

constexpr size_t kPieces = 3;
constexpr size_t kPrefix = 1 + 2 * kPieces;
constexpr uint8_t kRepairPackets = 1;

// Piece n's bytes, the same in every run.
inline std::vector<uint8_t> PieceBytes(size_t n, size_t length) {
    std::vector<uint8_t> bytes(length);
    uint32_t x = 2463534242u + static_cast<uint32_t>(n) * 7919u;
    for (uint8_t& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x);
    }
    return bytes;
}

inline size_t PieceLength(const uint8_t* data, size_t n) {
    return data[1 + 2 * n] | data[2 + 2 * n] << 8;
}

// Each packet that parses gets the set ID of the first main packet and an MD5 of its own.
inline void RepairPackets(std::vector<uint8_t>& bytes) {
    auto packetAt = [&bytes](size_t pos, par2::PacketHeader& header) {
        return pos + par2::kHeaderSize <= bytes.size() && par2::ReadHeader(bytes.data() + pos, header) &&
               header.length <= bytes.size() - pos;
    };
    uint8_t setId[16] = {};
    par2::PacketHeader header;
    for (size_t pos = 0; pos + par2::kHeaderSize <= bytes.size();) {
        if (!packetAt(pos, header)) {
            ++pos;
            continue;
        }
        if (header.kind == par2::PacketType::Main) {
            SmallMd5 md5;
            md5.Update(bytes.data() + pos + par2::kHeaderSize, static_cast<size_t>(header.BodyLength()));
            md5.Final(setId);
            break;
        }
        pos += static_cast<size_t>(header.length);
    }
    for (size_t pos = 0; pos + par2::kHeaderSize <= bytes.size();) {
        if (!packetAt(pos, header)) {
            ++pos;
            continue;
        }
        uint8_t* packet = bytes.data() + pos;
        par2::PutHeader(packet, header.BodyLength(), setId, header.type);
        SmallMd5 md5;
        md5.Update(packet + par2::kHashedFrom, static_cast<size_t>(header.length - par2::kHashedFrom));
        md5.Final(packet + par2::kPacketHashAt);
        pos += static_cast<size_t>(header.length);
    }
}

// The recovery file's bytes of an input, repaired when it asks.
inline std::vector<uint8_t> RecoveryBytes(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data + kPrefix, data + size);
    if (data[0] & kRepairPackets)
        RepairPackets(bytes);
    return bytes;
}

} // namespace fuzz_input
