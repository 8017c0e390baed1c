// The paths behind gf16's multiply-and-add, in the files' layout and in the working one, with what each
// needs of the processor: the dispatch picks the first one available, the tests and benchmarks run every one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/cpu_state.h"
#include "recovery/gf16.h"

namespace gf16 {

void MulAddSsse3(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
void MulAddAvx2(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);

// The working layout's conversions and multiply-and-add, per path.
void ToWorkingPortable(const uint8_t* src, uint8_t* dst, size_t len);
void FromWorkingPortable(const uint8_t* src, uint8_t* dst, size_t len);
void MulAddWorkingPortable(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
void ToWorkingSsse3(const uint8_t* src, uint8_t* dst, size_t len);
void FromWorkingSsse3(const uint8_t* src, uint8_t* dst, size_t len);
void MulAddWorkingSsse3(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
void ToWorkingAvx2(const uint8_t* src, uint8_t* dst, size_t len);
void FromWorkingAvx2(const uint8_t* src, uint8_t* dst, size_t len);
void MulAddWorkingAvx2(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
// The wider paths share the AVX2 path's layout (and its conversions, which only move bytes).
void MulAddWorkingGfni(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
void MulAddWorkingAvx512Gfni(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
void MulAddWorkingAvx512bw(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
void SumWorkingGfni(const Products* factors, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len);
void SumWorkingAvx512Gfni(const Products* factors, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len);
void SumMatricesGfni(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len);
void SumMatricesAvx512Gfni(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst,
                           size_t len);
void SumIntoEachAvx512Gfni(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* const* dsts,
                           size_t outputs, size_t at, size_t len, bool prefetch);

// The same inputs summed into each of many outputs, output o's matrices at matrices + 4 * count * o, one
// output after another; with prefetch, the next output's run is fetched while one is summed.
template <void (*Sum)(const uint64_t*, const uint8_t* const*, size_t, uint8_t*, size_t)>
void SumIntoEachMatrices(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* const* dsts,
                         size_t outputs, size_t at, size_t len, bool prefetch) {
    for (size_t o = 0; o < outputs; ++o) {
        if (prefetch && o + 1 < outputs)
            for (size_t c = 0; c < len; c += kWorkingChunk)
                __builtin_prefetch(dsts[o + 1] + at + c, 1, 2);
        Sum(matrices + 4 * count * o, srcs, count, dsts[o] + at, len);
    }
}

// A sum of products one input at a time, for the paths whose products take all their registers.
template <void (*AddWorking)(const Products&, const uint8_t*, uint8_t*, size_t)>
void SumEachWorking(const Products* factors, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    for (size_t i = 0; i < count; ++i)
        AddWorking(factors[i], srcs[i], dst, len);
}

inline bool Always() {
    return true;
}

// dst ^= factor * src in the files' layout (a solver's rows, a small part of the work), fastest first.
struct MulAddPath {
    const char* name;
    void (*run)(uint16_t, const uint8_t*, uint8_t*, size_t);
    bool (*available)();
};

inline const MulAddPath kMulAddPaths[] = {
    {"avx2", MulAddAvx2, HasAvx2},
    {"ssse3", MulAddSsse3, HasSsse3},
    {"portable", MulAddPortable, Always},
};

// The bulk, in the working layout: the conversions into it and out of it, a multiply-and-add and a sum of
// products. Fastest first; the wider ones share AVX2's layout and conversions.
struct WorkingPath {
    const char* name;
    bool (*available)();
    void (*toWorking)(const uint8_t*, uint8_t*, size_t);
    void (*fromWorking)(const uint8_t*, uint8_t*, size_t);
    void (*addWorking)(const Products&, const uint8_t*, uint8_t*, size_t);
    void (*sumWorking)(const Products*, const uint8_t* const*, size_t, uint8_t*, size_t);
    // The same sum from the factors' matrices alone (four words each), for the paths that read nothing
    // else of them; null for the others.
    void (*sumMatrices)(const uint64_t*, const uint8_t* const*, size_t, uint8_t*, size_t) = nullptr;
    // The same into each of many outputs (SumIntoEachMatrices), where sumMatrices is.
    void (*sumIntoEach)(const uint64_t*, const uint8_t* const*, size_t, uint8_t* const*, size_t, size_t, size_t,
                        bool) = nullptr;
};

inline const WorkingPath kWorkingPaths[] = {
    {"avx512-gfni", HasAvx512Gfni, ToWorkingAvx2, FromWorkingAvx2, MulAddWorkingAvx512Gfni, SumWorkingAvx512Gfni,
     SumMatricesAvx512Gfni, SumIntoEachAvx512Gfni},
    {"gfni", HasGfni, ToWorkingAvx2, FromWorkingAvx2, MulAddWorkingGfni, SumWorkingGfni, SumMatricesGfni,
     SumIntoEachMatrices<SumMatricesGfni>},
    {"avx512bw", HasAvx512bw, ToWorkingAvx2, FromWorkingAvx2, MulAddWorkingAvx512bw,
     SumEachWorking<MulAddWorkingAvx512bw>},
    {"avx2", HasAvx2, ToWorkingAvx2, FromWorkingAvx2, MulAddWorkingAvx2, SumEachWorking<MulAddWorkingAvx2>},
    {"ssse3", HasSsse3, ToWorkingSsse3, FromWorkingSsse3, MulAddWorkingSsse3, SumEachWorking<MulAddWorkingSsse3>},
    {"portable", Always, ToWorkingPortable, FromWorkingPortable, MulAddWorkingPortable,
     SumEachWorking<MulAddWorkingPortable>},
};

} // namespace gf16
