// The CRC-32 of test bytes, as a number and as the "%X" text a header records.
#pragma once

#include <cstdint>
#include <string>

#include "core/crc32.h"
#include "core/piece_header.h"

inline uint32_t CrcOf(const std::string& bytes) {
    Crc32 crc;
    crc.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
    return crc.Value();
}

inline std::string CrcTextOf(const std::string& bytes) {
    return CrcText(CrcOf(bytes));
}
