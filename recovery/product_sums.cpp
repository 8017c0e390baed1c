#include "recovery/product_sums.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace gf16 {

// Bytes of a group of inputs summed into every output before the next run: the group's runs (eight of
// them, kInputGroup) stay in the first-level cache meanwhile.
constexpr size_t kSubBlock = 2048;
constexpr size_t kInputGroup = 8;
// What a block's inputs, converted, may take of the second-level cache.
constexpr size_t kConvertBytes = 512 << 10;
// Below this many outputs each input run serves too few to be worth keeping short.
constexpr size_t kManyOutputs = 4;

ProductSums::ProductSums(size_t inputs, size_t outputs, const std::vector<uint16_t>& factors)
    : inputs_(inputs), outputs_(outputs), fromMatrices_(SumsFromMatrices()) {
    // Kept in the order the sums take them: group by group of inputs, every output's share of the group;
    // where the matrices alone serve, those alone, so that more of them stay in the caches.
    if (fromMatrices_)
        matrices_.reserve(4 * inputs * outputs);
    else
        products_.reserve(inputs * outputs);
    Products p;
    for (size_t first = 0; first < inputs; first += kInputGroup)
        for (size_t o = 0; o < outputs; ++o)
            for (size_t i = first; i < std::min(inputs, first + kInputGroup); ++i) {
                PrepareProducts(factors[o * inputs + i], p);
                if (fromMatrices_)
                    matrices_.insert(matrices_.end(), p.affine, p.affine + 4);
                else
                    products_.push_back(p);
            }
}

void ProductSums::Sum(size_t factor, const uint8_t* const* from, size_t n, uint8_t* dst, size_t len) const {
    if (fromMatrices_)
        SumWorkingMatrices(matrices_.data() + 4 * factor, from, n, dst, len);
    else
        SumWorking(products_.data() + factor, from, n, dst, len);
}

namespace {

// An input's bytes [0, len) into the working layout, the last chunk padded with zeros.
void ConvertBlock(const uint8_t* from, uint8_t* to, size_t len) {
    const size_t whole = len / kWorkingChunk * kWorkingChunk;
    ToWorking(from, to, whole);
    if (whole < len) {
        std::memcpy(to + whole, from + whole, len - whole);
        std::memset(to + len, 0, kWorkingChunk - (len - whole));
        ToWorking(to + whole, to + whole, kWorkingChunk);
    }
}

} // namespace

void ProductSums::AddBlock(const uint8_t* const* inputs, uint8_t* const* outputs, size_t at, size_t len,
                           bool inputsWorking, std::vector<uint8_t>& scratch) const {
    // Short runs where each group of inputs serves many outputs from the first-level cache; with few
    // outputs there is little to share, and with few inputs all of them stay in the second-level cache
    // for whole blocks: long runs of each output then keep the reads and writes streaming.
    const bool outputsFirst = outputs_ < kManyOutputs || inputs_ * kSumBlock <= kConvertBytes;
    const size_t sub = outputsFirst ? kSumBlock : kSubBlock;
    if (inputsWorking) {
        for (size_t first = 0; first < len; first += sub)
            AddSubBlock(inputs, at + first, outputs, at + first, std::min(sub, len - first), outputsFirst);
        return;
    }
    // Each input converted once for all the outputs it goes into, as long a run of it at a time as the
    // second-level cache holds for all of them: long runs keep the reads from memory streaming.
    const size_t span =
        std::max(kSubBlock, std::min(len, kConvertBytes / std::max<size_t>(inputs_, 1)) / kSubBlock * kSubBlock);
    // The inputs' places a little more than a span apart (a span is often a power of two).
    const size_t stride = span + kSlotSkew;
    if (scratch.size() < inputs_ * stride)
        scratch.resize(inputs_ * stride);
    std::vector<const uint8_t*> from(inputs_);
    for (size_t i = 0; i < inputs_; ++i)
        from[i] = scratch.data() + i * stride;
    for (size_t first = 0; first < len; first += span) {
        const size_t n = std::min(span, len - first);
        for (size_t i = 0; i < inputs_; ++i)
            ConvertBlock(inputs[i] + at + first, scratch.data() + i * stride, n);
        for (size_t part = 0; part < n; part += sub)
            AddSubBlock(from.data(), part, outputs, at + first + part, std::min(sub, n - part), outputsFirst);
    }
}

void ProductSums::AddSubBlock(const uint8_t* const* inputs, size_t inputAt, uint8_t* const* outputs, size_t at,
                              size_t len, bool outputsFirst) const {
    const size_t working = WorkingSize(len);
    // Where output o's factors for the group of inputs from first on start (all groups before it are whole).
    auto factors = [this](size_t first, size_t o) {
        return first * outputs_ + o * std::min(kInputGroup, inputs_ - first);
    };
    auto group = [&](size_t first, const uint8_t** from) {
        const size_t n = std::min(kInputGroup, inputs_ - first);
        for (size_t i = 0; i < n; ++i)
            from[i] = inputs[first + i] + inputAt;
        return n;
    };
    const uint8_t* from[kInputGroup];
    if (outputsFirst) {
        // Each output's run in the first-level cache while every input is added into it.
        for (size_t o = 0; o < outputs_; ++o)
            for (size_t first = 0; first < inputs_; first += kInputGroup)
                Sum(factors(first, o), from, group(first, from), outputs[o] + at, working);
        return;
    }
    for (size_t first = 0; first < inputs_; first += kInputGroup) {
        const size_t n = group(first, from);
        // The group's runs stay in the first-level cache while every output's run takes them in. The
        // first group meets the outputs in memory: the next one is fetched while this one is summed.
        if (fromMatrices_) {
            SumWorkingMatricesIntoEach(matrices_.data() + 4 * factors(first, 0), from, n, outputs, outputs_, at,
                                       working, first == 0);
            continue;
        }
        for (size_t o = 0; o < outputs_; ++o) {
            if (first == 0 && o + 1 < outputs_)
                for (size_t c = 0; c < working; c += kWorkingChunk)
                    __builtin_prefetch(outputs[o + 1] + at + c, 1, 2);
            Sum(factors(first, o), from, n, outputs[o] + at, working);
        }
    }
}

void ProductSums::Add(const uint8_t* const* inputs, uint8_t* const* outputs, size_t len, bool inputsWorking) const {
    RunOnEveryCore((len + kSumBlock - 1) / kSumBlock, [&](size_t block, std::vector<uint8_t>& scratch) {
        const size_t at = block * kSumBlock;
        AddBlock(inputs, outputs, at, std::min(kSumBlock, len - at), inputsWorking, scratch);
    });
}

void RunOnEveryCore(size_t count, const std::function<void(size_t task, std::vector<uint8_t>& scratch)>& task) {
    std::atomic<size_t> next{0};
    std::mutex failing;
    std::exception_ptr failure;
    // A task's exception (a file error, memory running out) ends the others' work and goes to the caller.
    auto work = [&] {
        try {
            std::vector<uint8_t> scratch;
            for (size_t n; (n = next++) < count;)
                task(n, scratch);
        } catch (...) {
            next = count;
            std::lock_guard<std::mutex> lock(failing);
            if (!failure)
                failure = std::current_exception();
        }
    };
    const size_t threads = std::min<size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace gf16
