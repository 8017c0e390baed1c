// The CRC-32 object and the choice of the fastest path.
#include "core/crc32.h"

#include "core/crc32_table.h"

uint32_t Crc32Bytewise(uint32_t reg, const uint8_t* data, size_t len) {
    for (size_t i = 0; i < len; ++i)
        reg = (reg >> 8) ^ kCrc32Tables.t[0][(reg ^ data[i]) & 0xFF];
    return reg;
}

namespace {
// -1 until the processor has been asked; a plain global, so that catstub
// needs no thread-safe static initialisation from the C++ runtime.
int g_havePclmul = -1;
// Below this length the folding set-up costs more than it saves.
constexpr size_t kPclmulMinimum = 256;
} // namespace

uint32_t Crc32Fast(uint32_t reg, const uint8_t* data, size_t len) {
    if (len >= kPclmulMinimum) {
        if (g_havePclmul < 0)
            g_havePclmul = Crc32HavePclmul() ? 1 : 0;
        if (g_havePclmul)
            return Crc32Pclmul(reg, data, len);
    }
    return Crc32Slice16(reg, data, len);
}

uint32_t Crc32::Update(const void* data, uint32_t len, bool cont) {
    if (len == 0 || data == nullptr)
        return 0;
    if (!cont)
        reg_ = 0xFFFFFFFFu;
    reg_ = Crc32Fast(reg_, static_cast<const uint8_t*>(data), len);
    return ~reg_;
}
