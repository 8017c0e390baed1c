// CRC-32 throughput of each path over one buffer larger than the caches, beside the plain memory-read rate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/crc32.h"

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

void BM_Crc32Pclmul(benchmark::State& state) {
    if (!Crc32HavePclmul()) {
        state.SkipWithError("this processor has no PCLMULQDQ");
        return;
    }
    BM_Crc<Crc32Pclmul>(state);
}

// The same path over a block that stays in the level-2 cache: what the
// folding itself costs, with memory out of the way.
void BM_Crc32PclmulInCache(benchmark::State& state) {
    if (!Crc32HavePclmul()) {
        state.SkipWithError("this processor has no PCLMULQDQ");
        return;
    }
    constexpr size_t kBlock = 256 * 1024;
    const uint8_t* bytes = Bytes();
    for (auto _ : state) {
        uint32_t crc = ~Crc32Pclmul(0xFFFFFFFFu, bytes, kBlock);
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
BENCHMARK(BM_Crc32Pclmul)->Name("crc32/pclmul")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32PclmulInCache)->Name("crc32/pclmul-in-L2")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Crc<Crc32Fast>)->Name("crc32/fast")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryRead)->Name("memory/read")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
