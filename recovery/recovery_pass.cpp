// The recovery arithmetic of one pass, blocked for the caches and split over the cores.
#include "recovery/recovery_pass.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "recovery/gf16.h"
#include "recovery/par2_format.h"

namespace {

// Each recovery slice's block of this size stays in the first-level cache while every input slice of
// the batch is added into it; the batch's blocks stay in the second level.
constexpr uint64_t kBlock = 16384;

} // namespace

RecoveryPass::RecoveryPass(uint64_t sliceSize, uint32_t batchSlices, uint32_t firstExponent, uint32_t count,
                           SliceHooks hooks)
    : sliceSize_(sliceSize), batchSlices_(batchSlices), first_(firstExponent), count_(count), hooks_(std::move(hooks)),
      recovery_(static_cast<size_t>(sliceSize * count)) {
    for (SliceBatch& batch : batches_) {
        batch.data.resize(static_cast<size_t>(sliceSize * batchSlices));
        batch.slices.reserve(batchSlices);
    }
    worker_ = std::thread([this] { Work(); });
}

RecoveryPass::~RecoveryPass() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !pending_; });
        stop_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

uint8_t* RecoveryPass::Slot() {
    SliceBatch& batch = batches_[filling_];
    return batch.data.data() + batch.slices.size() * sliceSize_;
}

void RecoveryPass::Add(const InputSlice& slice) {
    std::memset(Slot() + slice.len, 0, static_cast<size_t>(sliceSize_ - slice.len));
    batches_[filling_].slices.push_back(slice);
    if (batches_[filling_].slices.size() == batchSlices_)
        Submit();
}

void RecoveryPass::Finish() {
    if (!batches_[filling_].slices.empty())
        Submit();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
}

void RecoveryPass::Submit() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !pending_; });
        pending_ = true;
        filling_ ^= 1;
        batches_[filling_].slices.clear();
    }
    changed_.notify_all();
}

void RecoveryPass::Work() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return pending_ || stop_; });
            if (!pending_)
                return;
        }
        const SliceBatch& batch = batches_[filling_ ^ 1];
        Compute(batch);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pending_ = false;
        }
        changed_.notify_all();
    }
}

void RecoveryPass::Compute(const SliceBatch& batch) {
    const size_t n = batch.slices.size();
    std::vector<uint16_t> factors(n * count_);
    for (size_t i = 0; i < n; ++i) {
        const InputSlice& in = batch.slices[i];
        for (uint32_t r = 0; r < count_; ++r) {
            uint16_t f = par2::InputFactor(in.input, first_ + r);
            if (in.undo >= 0)
                f ^= par2::InputFactor(static_cast<uint32_t>(in.undo), first_ + r);
            factors[i * count_ + r] = f;
        }
    }
    // The threads take tasks in turn: the checksums first, then the blocks of bytes, each block the
    // same range of every recovery slice, so no two tasks write the same memory.
    const size_t hashTasks = (hooks_.inOrder ? 1 : 0) + (hooks_.eachSlice ? n : 0);
    const uint64_t blocks = (sliceSize_ + kBlock - 1) / kBlock;
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t task; (task = next++) < hashTasks + blocks;) {
            if (task < hashTasks) {
                if (hooks_.inOrder && task == 0)
                    hooks_.inOrder(batch, sliceSize_);
                else
                    hooks_.eachSlice(batch, task - (hooks_.inOrder ? 1 : 0), sliceSize_);
                continue;
            }
            const uint64_t at = (task - hashTasks) * kBlock;
            const size_t len = static_cast<size_t>(std::min(kBlock, sliceSize_ - at));
            for (uint32_t r = 0; r < count_; ++r) {
                uint8_t* dst = recovery_.data() + r * sliceSize_ + at;
                for (size_t i = 0; i < n; ++i)
                    gf16::MulAdd(factors[i * count_ + r], batch.data.data() + i * sliceSize_ + at, dst, len);
            }
        }
    };
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}
