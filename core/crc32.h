// CRC-32 (IEEE 802.3, reflected) of byte blocks and whole files.
#pragma once

#include <cstddef>
#include <cstdint>

// The register form: callers pass the running register (start 0xFFFFFFFF) and
// invert it at the end. All paths give identical results; the bytewise one is
// the reference the faster ones are tested against.
uint32_t Crc32Bytewise(uint32_t reg, const uint8_t* data, size_t len);
uint32_t Crc32Slice16(uint32_t reg, const uint8_t* data, size_t len);
// Carry-less multiply folding in 128-bit registers; only call when HasPclmul() (core/cpu_state.h) is true.
uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* data, size_t len);
// The same folding in 512-bit registers (VPCLMULQDQ, AVX-512); only call when HasVpclmul() is true: the
// processor has it and the system saves its registers.
uint32_t Crc32Vpclmul(uint32_t reg, const uint8_t* data, size_t len);
// The fastest path this processor has, and its name: "vpclmul", "pclmul" or "slice16".
uint32_t Crc32Fast(uint32_t reg, const uint8_t* data, size_t len);
const char* Crc32FastPathName();
// The register after `count` zero bytes, in time that grows with the count's bits, not with the count: a
// slice zero-padded to any size is checked at once.
uint32_t Crc32Zeros(uint32_t reg, uint64_t count);
// The register of A followed by B from the registers of A and of B (each started at 0xFFFFFFFF) and B's
// length: files hashed apart give the CRC-32 of their join. Taken the other way, (register of A, register
// of A followed by B, B's length) gives B's register: the CRC-32 of a file from an offset on.
uint32_t Crc32Combine(uint32_t regA, uint32_t regB, uint64_t lengthB);

// One object per file measured; the register starts at 0xFFFFFFFF.
class Crc32 {
public:
    Crc32() = default;
    Crc32(const Crc32&) = delete;
    Crc32& operator=(const Crc32&) = delete;

    // The inverted register after feeding `len` bytes; 0 and no change when
    // nothing is fed. `cont` false restarts the register first.
    uint32_t Update(const void* data, uint32_t len, bool cont);
    uint32_t Value() const { return ~reg_; }

private:
    uint32_t reg_ = 0xFFFFFFFFu;
};
