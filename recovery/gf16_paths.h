// The multiply-and-add paths behind gf16::MulAdd, with what each needs of the processor: the dispatch
// picks among them, and the tests and benchmarks run every one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "recovery/gf16.h"

namespace gf16 {

void MulAddSsse3(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
void MulAddAvx2(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
bool HaveSsse3();
bool HaveAvx2();

// The products of factor by each nibble k of a word (nibble 0 the lowest), split into their low and
// high bytes: the shuffle paths' lookup tables.
void NibbleTables(uint16_t factor, uint8_t lo[4][16], uint8_t hi[4][16]);

struct MulAddPath {
    const char* name;
    void (*run)(uint16_t, const uint8_t*, uint8_t*, size_t);
    bool (*available)();
};

inline bool Always() {
    return true;
}

// Fastest first; the dispatch takes the first one available.
inline const MulAddPath kMulAddPaths[] = {
    {"avx2", MulAddAvx2, HaveAvx2},
    {"ssse3", MulAddSsse3, HaveSsse3},
    {"portable", MulAddPortable, Always},
};

} // namespace gf16
