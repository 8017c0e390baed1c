// The CRC-32 object and the choice of the fastest path.
#include "core/crc32.h"

#include <atomic>

#include "core/cpu_state.h"
#include "core/crc32_table.h"

uint32_t Crc32Bytewise(uint32_t reg, const uint8_t* data, size_t len) {
    for (size_t i = 0; i < len; ++i)
        reg = (reg >> 8) ^ kCrc32Tables.t[0][(reg ^ data[i]) & 0xFF];
    return reg;
}

namespace {

enum FastPath : int { kUnknown, kSlice16, kPclmul, kVpclmul };

// Asked of the processor once. Atomic because jobs on several threads may
// ask first at the same time; constant-initialised and lock-free, so that
// catstub needs nothing from the C++ runtime for it.
std::atomic<int> g_fastPath{kUnknown};

FastPath ChosenPath() {
    int path = g_fastPath.load(std::memory_order_relaxed);
    if (path == kUnknown) {
        path = HasVpclmul() ? kVpclmul : HasPclmul() ? kPclmul : kSlice16;
        g_fastPath.store(path, std::memory_order_relaxed);
    }
    return static_cast<FastPath>(path);
}

// a * b modulo the CRC polynomial, both in the register's reflected order (bit 31 is x^0).
uint32_t MulModPoly(uint32_t a, uint32_t b) {
    uint32_t product = 0;
    for (uint32_t bit = 0x80000000u; bit != 0; bit >>= 1) {
        if (a & bit)
            product ^= b;
        b = b & 1 ? (b >> 1) ^ 0xEDB88320u : b >> 1; // b * x
    }
    return product;
}

// Below this length the folding set-up costs more than it saves.
constexpr size_t kFoldingMinimum = 256;

} // namespace

uint32_t Crc32Fast(uint32_t reg, const uint8_t* data, size_t len) {
    if (len >= kFoldingMinimum) {
        switch (ChosenPath()) {
        case kVpclmul:
            return Crc32Vpclmul(reg, data, len);
        case kPclmul:
            return Crc32Pclmul(reg, data, len);
        default:
            break;
        }
    }
    return Crc32Slice16(reg, data, len);
}

uint32_t Crc32Zeros(uint32_t reg, uint64_t count) {
    // Zero bytes multiply the register by x^(8 count): square-and-multiply over count's bits.
    uint32_t power = 0x00800000u; // x^8
    for (; count != 0; count >>= 1) {
        if (count & 1)
            reg = MulModPoly(reg, power);
        power = MulModPoly(power, power);
    }
    return reg;
}

uint32_t Crc32Combine(uint32_t regA, uint32_t regB, uint64_t lengthB) {
    // The register is linear in its start and its bytes: B's bytes leave the same mark whichever start
    // they met, and the starts differ by A's register against 0xFFFFFFFF, carried over B's length.
    return regB ^ Crc32Zeros(regA ^ 0xFFFFFFFFu, lengthB);
}

const char* Crc32FastPathName() {
    switch (ChosenPath()) {
    case kVpclmul:
        return "vpclmul";
    case kPclmul:
        return "pclmul";
    default:
        return "slice16";
    }
}

uint32_t Crc32::Update(const void* data, uint32_t len, bool cont) {
    if (len == 0 || data == nullptr)
        return 0;
    if (!cont)
        reg_ = 0xFFFFFFFFu;
    reg_ = Crc32Fast(reg_, static_cast<const uint8_t*>(data), len);
    return ~reg_;
}
