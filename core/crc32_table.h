// The sixteen lookup tables of CRC-32 (polynomial 0xEDB88320, reflected),
// built by the compiler. Table 0 is the classic bytewise table.
#pragma once

#include <cstdint>

struct Crc32Tables {
    uint32_t t[16][256];
};

extern const Crc32Tables kCrc32Tables;
