// Compile-time CRC-32 tables and the slice-by-16 path.
#include <cstring>

#include "core/crc32.h"
#include "core/crc32_table.h"

namespace {

constexpr void FillTables(Crc32Tables& tables) {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        tables.t[0][n] = c;
    }
    for (int s = 1; s < 16; ++s)
        for (uint32_t n = 0; n < 256; ++n) {
            const uint32_t prev = tables.t[s - 1][n];
            tables.t[s][n] = (prev >> 8) ^ tables.t[0][prev & 0xFF];
        }
}

#ifndef FENDRIK_CRC_TABLES_AT_START
constexpr Crc32Tables MakeTables() {
    Crc32Tables tables{};
    FillTables(tables);
    return tables;
}
#endif

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v; // little-endian on every target of this program
}

} // namespace

#ifdef FENDRIK_CRC_TABLES_AT_START
Crc32Tables kCrc32Tables; // zero in the image until PrepareCrc32Tables

void PrepareCrc32Tables() {
    FillTables(kCrc32Tables);
}
#else
// Constant-initialised: the tables live in read-only data, built by the compiler.
extern const Crc32Tables kCrc32Tables;
const Crc32Tables kCrc32Tables = MakeTables();
#endif

uint32_t Crc32Slice16(uint32_t reg, const uint8_t* data, size_t len) {
    const auto& t = kCrc32Tables.t;
    while (len >= 16) {
        const uint32_t a = Load32(data) ^ reg;
        const uint32_t b = Load32(data + 4);
        const uint32_t c = Load32(data + 8);
        const uint32_t d = Load32(data + 12);
        reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
              t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^
              t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^
              t[0][d >> 24];
        data += 16;
        len -= 16;
    }
    while (len--)
        reg = (reg >> 8) ^ t[0][(reg ^ *data++) & 0xFF];
    return reg;
}
