// The sixteen lookup tables of CRC-32 (polynomial 0xEDB88320, reflected),
// built by the compiler. Table 0 is the classic bytewise table.
#pragma once

#include <cstdint>

struct Crc32Tables {
    uint32_t t[16][256];
};

#ifdef FENDRIK_CRC_TABLES_AT_START
// catstub computes them at start instead of carrying 16 KiB of them in its fixed-size image.
extern Crc32Tables kCrc32Tables;
void PrepareCrc32Tables();
#else
extern const Crc32Tables kCrc32Tables;
#endif
