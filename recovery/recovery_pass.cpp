// The recovery arithmetic of one pass: the batches' slices summed into the recovery slices, which stay in
// the working layout from one batch to the next.
#include "recovery/recovery_pass.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "platform/thread_priority.h"
#include "recovery/md5_lanes.h"
#include "recovery/par2_format.h"
#include "recovery/product_sums.h"

SlotLayout::SlotLayout(uint64_t sliceSize, uint32_t batchSlices, size_t slotBytes)
    : bytes(slotBytes ? slotBytes : static_cast<size_t>(sliceSize)), stride(LaneStride(bytes)),
      slots(std::max<size_t>(1, static_cast<size_t>(sliceSize * batchSlices / bytes))) {}

bool PassMemory::Reserve(uint64_t sliceSize, uint32_t batchSlices, uint32_t count, size_t slotBytes) {
    const uint64_t stride = (sliceSize + gf16::kWorkingChunk - 1) / gf16::kWorkingChunk * gf16::kWorkingChunk;
    const uint64_t most = std::numeric_limits<ptrdiff_t>::max();
    if (stride > most / std::max<uint32_t>(count, 1) || sliceSize > most / 2 / std::max<uint32_t>(batchSlices, 1))
        return false; // more than this process can address
    const SlotLayout layout(sliceSize, batchSlices, slotBytes);
    if (layout.stride > most / layout.slots)
        return false;
    bool had = recovery.Allocate(static_cast<size_t>(stride * count));
    for (SliceBatch& batch : batches) {
        had = had && batch.data.Allocate(layout.stride * layout.slots);
        batch.slices.reserve(batchSlices);
    }
    if (!had)
        *this = PassMemory();
    return had;
}

namespace {

// The memory a pass takes: what Reserve took, or taken now when it was not (a bad_alloc if it cannot be).
void Need(PassBytes& bytes, size_t n) {
    if (bytes.size() < n && !bytes.Allocate(n))
        throw std::bad_alloc();
}

} // namespace

RecoveryPass::RecoveryPass(PassMemory& memory, uint64_t sliceSize, uint32_t batchSlices, uint32_t firstExponent,
                           uint32_t count, SliceHooks hooks, size_t slotBytes)
    : sliceSize_(sliceSize), slots_(sliceSize, batchSlices, slotBytes), first_(firstExponent), count_(count),
      hooks_(std::move(hooks)), stride_(gf16::WorkingSize(static_cast<size_t>(sliceSize))), batches_(memory.batches) {
    Need(memory.recovery, stride_ * count);
    recovery_ = memory.recovery.data();
    for (SliceBatch& batch : batches_) {
        Need(batch.data, slots_.stride * slots_.slots);
        batch.slices.clear();
        batch.slices.reserve(slots_.slots);
    }
    summer_ = std::thread([this] { Sum(); });
    if (hooks_.inOrder) {
        ordered_.assign(std::max<size_t>(hooks_.inOrderThreads, 1), 0);
        for (size_t t = 0; t < ordered_.size(); ++t)
            ordering_.emplace_back([this, t] { RunInOrder(t); });
    }
}

RecoveryPass::~RecoveryPass() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        flushing_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return summed_ == submitted_ && Ordered() == submitted_; });
        stop_ = true;
    }
    changed_.notify_all();
    summer_.join();
    for (std::thread& thread : ordering_)
        thread.join();
}

uint8_t* RecoveryPass::Slot() {
    SliceBatch& batch = Batch(submitted_);
    return batch.data.data() + batch.slices.size() * slots_.stride;
}

void RecoveryPass::Add(const InputSlice& slice) {
    std::memset(Slot() + slice.len, 0, SpanAt(slice.at) - slice.len);
    Batch(submitted_).slices.push_back(slice);
    if (Batch(submitted_).slices.size() == slots_.slots)
        Submit();
}

void RecoveryPass::Drain() {
    if (!Batch(submitted_).slices.empty())
        Submit();
    std::unique_lock<std::mutex> lock(mutex_);
    flushing_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return cleared_ && summed_ == submitted_ && Ordered() == submitted_; });
    flushing_ = false;
    if (failure_)
        std::rethrow_exception(failure_);
}

void RecoveryPass::Finish() {
    Drain();
    if (working_) {
        gf16::FromWorking(recovery_, recovery_, stride_ * count_);
        working_ = false;
    }
}

void RecoveryPass::Submit() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++submitted_;
        changed_.notify_all(); // a thread waiting for work starts now, not once this one may go on
        // The next batch to fill held the one kPassBatches back: every thread must be done with it.
        const uint64_t reused = submitted_ + 1 > kPassBatches ? submitted_ + 1 - kPassBatches : 0;
        changed_.wait(lock, [&] { return summed_ >= reused && Ordered() >= reused; });
        Batch(submitted_).slices.clear();
        if (failure_)
            std::rethrow_exception(failure_);
    }
    changed_.notify_all();
}

void RecoveryPass::Sum() {
    // While the first batch fills: the recovery slices' pages come in here, off the split's way.
    std::memset(recovery_, 0, stride_ * count_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        cleared_ = true;
    }
    changed_.notify_all();
    // Each block of the recovery slices comes from memory and goes back once per call, so the sums wait for
    // two batches and add them together while the split fills the third; at a drain, what there is.
    Follow(summed_, kPassBatches - 1, [this](uint64_t first, uint64_t count) { Compute(first, count); });
}

uint64_t RecoveryPass::Ordered() const {
    uint64_t least = submitted_;
    for (uint64_t done : ordered_)
        least = std::min(least, done);
    return least;
}

void RecoveryPass::RunInOrder(size_t thread) {
    // The in-order hook is the one part that cannot be spread over cores, and the sums have room to
    // wait: it goes first where the system allows. On one core it would only hold up the rest.
    if (std::thread::hardware_concurrency() > 1)
        RaiseThisThread();
    Follow(ordered_[thread], 1,
           [this, thread](uint64_t n, uint64_t) { hooks_.inOrder(Batch(n), slots_.stride, thread); });
}

void RecoveryPass::Follow(uint64_t& done, uint64_t most,
                          const std::function<void(uint64_t first, uint64_t count)>& work) {
    for (;;) {
        uint64_t n, count;
        bool failed;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return submitted_ - done >= most || (done < submitted_ && flushing_) || stop_; });
            if (done == submitted_)
                return;
            n = done;
            count = std::min(most, submitted_ - done);
            failed = failure_ != nullptr;
        }
        // A failure (memory running out) goes to the thread adding slices, at its next wait; the batches
        // after it are only counted, so that nobody waits for them.
        try {
            if (!failed)
                work(n, count);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_)
                failure_ = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done += count;
        }
        changed_.notify_all();
    }
}

void RecoveryPass::Compute(uint64_t first, uint64_t count) {
    if (!working_) {
        gf16::ToWorking(recovery_, recovery_, stride_ * count_);
        working_ = true;
    }
    // Inputs at the same place in their slices go together: one sum over that range of every recovery slice.
    std::vector<std::pair<const InputSlice*, const uint8_t*>> all;
    for (uint64_t b = first; b < first + count; ++b)
        for (size_t i = 0; i < Batch(b).slices.size(); ++i)
            if (Batch(b).slices[i].sum)
                all.emplace_back(&Batch(b).slices[i], Batch(b).data.data() + i * slots_.stride);
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first->at < b.first->at; });
    struct Range {
        uint64_t at;
        size_t span;
        std::vector<const uint8_t*> inputs;
        std::vector<uint8_t*> outputs;
        std::unique_ptr<gf16::ProductSums> sums;
        size_t firstTask;
    };
    std::vector<Range> ranges;
    size_t tasks = 0;
    for (size_t from = 0; from < all.size();) {
        size_t to = from;
        while (to < all.size() && all[to].first->at == all[from].first->at)
            ++to;
        Range range{all[from].first->at, SpanAt(all[from].first->at), {}, {}, nullptr, tasks};
        std::vector<uint16_t> factors((to - from) * count_);
        for (size_t i = from; i < to; ++i) {
            const InputSlice& in = *all[i].first;
            range.inputs.push_back(all[i].second);
            for (uint32_t r = 0; r < count_; ++r) {
                uint16_t f = par2::InputFactor(in.input, first_ + r);
                if (in.undo >= 0)
                    f ^= par2::InputFactor(static_cast<uint32_t>(in.undo), first_ + r);
                factors[r * (to - from) + (i - from)] = f;
            }
        }
        for (uint32_t r = 0; r < count_; ++r)
            range.outputs.push_back(recovery_ + r * stride_ + range.at);
        range.sums = std::make_unique<gf16::ProductSums>(to - from, count_, factors);
        tasks += (range.span + gf16::kSumBlock - 1) / gf16::kSumBlock;
        ranges.push_back(std::move(range));
        from = to;
    }
    // Each task a block of bytes, the same range of every recovery slice, so no two tasks write the same memory.
    gf16::RunOnEveryCore(tasks, [&](size_t task, std::vector<uint8_t>& scratch) {
        size_t k = ranges.size() - 1;
        while (ranges[k].firstTask > task)
            --k;
        const Range& range = ranges[k];
        const size_t at = (task - range.firstTask) * gf16::kSumBlock;
        range.sums->AddBlock(range.inputs.data(), range.outputs.data(), at, std::min(gf16::kSumBlock, range.span - at),
                             false, scratch);
    });
}

size_t RecoveryPass::SpanAt(uint64_t at) const {
    return static_cast<size_t>(std::min<uint64_t>(slots_.bytes, sliceSize_ - at));
}
