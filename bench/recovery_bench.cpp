// GF(2^16) multiply-and-add per path and MD5, beside the plain memory-read rate: over one slice-sized
// block as the recovery arithmetic sees it (kept in the caches) and over a buffer larger than them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "recovery/gf16_paths.h"
#include "recovery/md5.h"
#include "recovery/md5_lanes.h"
#include "recovery/product_sums.h"

namespace {

constexpr size_t kBufferBytes = size_t{128} << 20;
constexpr size_t kBlockBytes = 16384; // the block the recovery arithmetic adds at a time

std::vector<uint8_t>& Buffer() {
    static std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> b(kBufferBytes);
        std::mt19937_64 gen(42);
        for (auto& v : b)
            v = static_cast<uint8_t>(gen());
        return b;
    }();
    return bytes;
}

// Whether the path runs here; the benchmark says why not.
template <class Path> bool Runs(benchmark::State& state, const Path* path) {
    if (!path->available())
        state.SkipWithError("this processor (or its system) lacks what the path needs");
    return path->available();
}

// Every input block of a batch into one recovery block: the loop of the recovery arithmetic.
void BM_MulAdd(benchmark::State& state, const gf16::MulAddPath* path) {
    if (!Runs(state, path))
        return;
    const uint8_t* src = Buffer().data();
    std::vector<uint8_t> dst(kBlockBytes);
    constexpr size_t kInputs = 16;
    for (auto _ : state) {
        for (size_t i = 0; i < kInputs; ++i)
            path->run(static_cast<uint16_t>(0x1234 + i), src + i * kBlockBytes, dst.data(), kBlockBytes);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kInputs * kBlockBytes));
}

// The same in the working layout, sixteen inputs summed into one output, as the recovery files and the
// rebuild run it.
void BM_MulAddWorking(benchmark::State& state, const gf16::WorkingPath* path) {
    if (!Runs(state, path))
        return;
    const uint8_t* src = Buffer().data();
    std::vector<uint8_t> dst(kBlockBytes);
    constexpr size_t kInputs = 16;
    gf16::Products products[kInputs];
    const uint8_t* srcs[kInputs];
    for (size_t i = 0; i < kInputs; ++i) {
        gf16::PrepareProducts(static_cast<uint16_t>(0x1234 + i), products[i]);
        srcs[i] = src + i * kBlockBytes;
    }
    for (auto _ : state) {
        path->sumWorking(products, srcs, kInputs, dst.data(), kBlockBytes);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kInputs * kBlockBytes));
}

// The sums of a whole batch on every core, as the recovery files and the rebuild run them: inputs x outputs
// slices of the given length (inputs in the files' layout, outputs in the working one); the rate is of
// multiply-and-add, one input into one output counted once per byte.
// With oneCore, the blocks are added one after another on the calling thread (the rate per core). The
// shapes: two batches of floppy-sized pieces' slices into 148 recovery slices, the last batch of a pass,
// and two batches of 1 MiB chunks of 8 MiB slices into 16.
void BM_ProductSums(benchmark::State& state, bool oneCore) {
    const size_t inputs = static_cast<size_t>(state.range(0)), outputs = static_cast<size_t>(state.range(1));
    const size_t len = static_cast<size_t>(state.range(2));
    std::vector<const uint8_t*> in(inputs);
    for (size_t i = 0; i < inputs; ++i)
        in[i] = Buffer().data() + i * len % (kBufferBytes - len + 1);
    std::vector<uint8_t> out(outputs * len);
    std::vector<uint8_t*> to(outputs);
    for (size_t o = 0; o < outputs; ++o)
        to[o] = out.data() + o * len;
    std::vector<uint16_t> factors(inputs * outputs);
    for (size_t n = 0; n < factors.size(); ++n)
        factors[n] = static_cast<uint16_t>(0x1234 + 77 * n);
    const gf16::ProductSums sums(inputs, outputs, factors);
    std::vector<uint8_t> scratch;
    for (auto _ : state) {
        if (oneCore)
            for (size_t at = 0; at < len; at += gf16::kSumBlock)
                sums.AddBlock(in.data(), to.data(), at, std::min(gf16::kSumBlock, len - at), false, scratch);
        else
            sums.Add(in.data(), to.data(), len, false);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * inputs * outputs * len));
}

void BM_Md5(benchmark::State& state) {
    for (auto _ : state) {
        Md5Digest d = Md5Of(Buffer().data(), kBufferBytes);
        benchmark::DoNotOptimize(d);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferBytes));
}

// The same bytes as messages of equal length hashed together, as a volume's recovery packets are.
void BM_Md5Lanes(benchmark::State& state, const md5lanes::Path* path) {
    if (!path->available()) {
        state.SkipWithError("this processor (or its system) lacks what the path needs");
        return;
    }
    const size_t each = kBufferBytes / path->lanes;
    std::vector<Md5Message> messages(path->lanes);
    for (size_t i = 0; i < path->lanes; ++i)
        messages[i] = {Buffer().data() + i * each, each, nullptr, 0};
    std::vector<Md5Digest> digests(path->lanes);
    for (auto _ : state) {
        path->run(messages.data(), messages.size(), digests.data());
        benchmark::DoNotOptimize(digests.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferBytes));
}

void BM_MemoryRead(benchmark::State& state) {
    const uint64_t* words = reinterpret_cast<const uint64_t*>(Buffer().data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(words);
        uint64_t acc = 0;
        for (size_t i = 0; i < kBufferBytes / 8; ++i)
            acc ^= words[i];
        benchmark::DoNotOptimize(acc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferBytes));
}

const int kRegistered = [] {
    for (const gf16::MulAddPath& path : gf16::kMulAddPaths)
        benchmark::RegisterBenchmark((std::string("gf16/") + path.name).c_str(), BM_MulAdd, &path)
            ->Unit(benchmark::kMicrosecond);
    for (const gf16::WorkingPath& path : gf16::kWorkingPaths)
        benchmark::RegisterBenchmark((std::string("gf16-working/") + path.name).c_str(), BM_MulAddWorking, &path)
            ->Unit(benchmark::kMicrosecond);
    for (const md5lanes::Path& path : md5lanes::kPaths)
        benchmark::RegisterBenchmark((std::string("md5-lanes/") + path.name).c_str(), BM_Md5Lanes, &path)
            ->Unit(benchmark::kMillisecond);
    return 0;
}();

} // namespace

BENCHMARK_CAPTURE(BM_ProductSums, every_core, false)
    ->Name("product-sums")
    ->ArgNames({"in", "out", "len"})
    ->Args({128, 148, 728832})
    ->Args({32, 148, 728832})
    ->Args({128, 16, 1 << 20})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ProductSums, one_core, true)
    ->Name("product-sums-one-core")
    ->ArgNames({"in", "out", "len"})
    ->Args({128, 148, 728832})
    ->Args({32, 148, 728832})
    ->Args({128, 16, 1 << 20})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Md5)->Name("md5")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryRead)->Name("memory/read")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
