// CRC-32 throughput of each path over one buffer larger than the caches, beside the plain memory-read rate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/cpu_state.h"
#include "core/crc32.h"

#if defined(FENDRIK_BENCH_ISAL)
#include <isa-l/crc.h>
#endif

namespace {

// Four times the largest last-level cache of the machines we measure on, so
// every pass streams from memory.
constexpr size_t kBufferBytes = size_t{128} << 20;

// Held as words so that the memory-read loop may read it as words.
const std::vector<uint64_t>& Words() {
    static const std::vector<uint64_t> words = [] {
        std::vector<uint64_t> w(kBufferBytes / sizeof(uint64_t));
        std::mt19937_64 gen(42);
        for (auto& v : w)
            v = gen();
        return w;
    }();
    return words;
}

const uint8_t* Bytes() {
    return reinterpret_cast<const uint8_t*>(Words().data());
}

template <uint32_t (*Path)(uint32_t, const uint8_t*, size_t)> void BM_Crc(benchmark::State& state) {
    const uint8_t* bytes = Bytes();
    for (auto _ : state) {
        uint32_t crc = ~Path(0xFFFFFFFFu, bytes, kBufferBytes);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBufferBytes));
}

template <bool (*Available)(), uint32_t (*Path)(uint32_t, const uint8_t*, size_t)>
void BM_CrcIfAvailable(benchmark::State& state) {
    if (!Available()) {
        state.SkipWithError("this processor (or its system) lacks what the path needs");
        return;
    }
    BM_Crc<Path>(state);
}

void BM_Crc32Fast(benchmark::State& state) {
    state.SetLabel(Crc32FastPathName());
    BM_Crc<Crc32Fast>(state);
}

#if defined(FENDRIK_BENCH_ISAL)
// ISA-L's CRC-32 in the register form of ours: it takes and returns the
// inverted register.
uint32_t IsalCrc32(uint32_t reg, const uint8_t* data, size_t len) {
    return ~crc32_gzip_refl(~reg, data, len);
}

// A yardstick from a well-known library, checked to agree with ours first.
void BM_IsalCrc32(benchmark::State& state) {
    if (IsalCrc32(0xFFFFFFFFu, Bytes(), kBufferBytes) != Crc32Slice16(0xFFFFFFFFu, Bytes(), kBufferBytes)) {
        state.SkipWithError("ISA-L's CRC-32 disagrees with ours");
        return;
    }
    BM_Crc<IsalCrc32>(state);
}
#endif

// A folding path over a block that stays in the level-2 cache: what the
// folding itself costs, with memory out of the way.
template <bool (*Available)(), uint32_t (*Path)(uint32_t, const uint8_t*, size_t)>
void BM_CrcInCache(benchmark::State& state) {
    if (!Available()) {
        state.SkipWithError("this processor (or its system) lacks what the path needs");
        return;
    }
    constexpr size_t kBlock = 256 * 1024;
    const uint8_t* bytes = Bytes();
    for (auto _ : state) {
        uint32_t crc = ~Path(0xFFFFFFFFu, bytes, kBlock);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBlock));
}

// The ceiling for any CRC path: every word of the buffer read once and
// combined, so the loads cannot be dropped; the compiler may vectorise it.
void BM_MemoryRead(benchmark::State& state) {
    const auto& words = Words();
    for (auto _ : state) {
        const uint64_t* p = words.data();
        benchmark::DoNotOptimize(p);
        uint64_t acc = 0;
        for (size_t i = 0; i < words.size(); ++i)
            acc ^= p[i];
        benchmark::DoNotOptimize(acc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBufferBytes));
}

} // namespace

BENCHMARK(BM_Crc<Crc32Bytewise>)->Name("crc32/bytewise")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc<Crc32Slice16>)->Name("crc32/slice16")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrcIfAvailable<HasPclmul, Crc32Pclmul>)->Name("crc32/pclmul")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrcInCache<HasPclmul, Crc32Pclmul>)->Name("crc32/pclmul-in-L2")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CrcIfAvailable<HasVpclmul, Crc32Vpclmul>)->Name("crc32/vpclmul")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrcInCache<HasVpclmul, Crc32Vpclmul>)->Name("crc32/vpclmul-in-L2")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc32Fast)->Name("crc32/fast")->Unit(benchmark::kMillisecond);
#if defined(FENDRIK_BENCH_ISAL)
BENCHMARK(BM_IsalCrc32)->Name("isal/crc32_gzip_refl")->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_MemoryRead)->Name("memory/read")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
