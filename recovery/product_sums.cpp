#include "recovery/product_sums.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace gf16 {

ProductSums::ProductSums(size_t inputs, size_t outputs, const std::vector<uint16_t>& factors)
    : inputs_(inputs), outputs_(outputs), products_(inputs * outputs) {
    for (size_t n = 0; n < products_.size(); ++n)
        PrepareProducts(factors[n], products_[n]);
}

void ProductSums::AddBlock(const uint8_t* const* inputs, uint8_t* const* outputs, size_t at, size_t len,
                           bool inputsWorking, std::vector<uint8_t>& scratch) const {
    const size_t working = WorkingSize(len);
    std::vector<const uint8_t*> from(inputs_);
    if (inputsWorking) {
        for (size_t i = 0; i < inputs_; ++i)
            from[i] = inputs[i] + at;
    } else {
        // Each input's block converted once, for all the outputs it goes into.
        if (scratch.size() < inputs_ * working)
            scratch.resize(inputs_ * working);
        for (size_t i = 0; i < inputs_; ++i) {
            uint8_t* block = scratch.data() + i * working;
            std::memcpy(block, inputs[i] + at, len);
            std::memset(block + len, 0, working - len);
            ToWorking(block, block, working);
            from[i] = block;
        }
    }
    for (size_t o = 0; o < outputs_; ++o)
        SumWorking(products_.data() + o * inputs_, from.data(), inputs_, outputs[o] + at, working);
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
