// One pass of the recovery arithmetic: input slices gathered into batches while a worker thread adds
// earlier batches, spread over every core, into the recovery slices of this pass's exponents, and
// threads of their own run the in-order hook over them.
#pragma once

#include <condition_variable>
#include <exception>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "recovery/pass_bytes.h"

// A slice, or a chunk of one: the bytes [at, at + len) of input slice `input`.
struct InputSlice {
    uint32_t input;     // its place among the set's input slices: which constant multiplies it
    int64_t undo = -1;  // >= 0: the place it was added at by mistake, taken out again
    uint32_t piece = 0; // what the batch hook needs to know about it
    uint32_t slice = 0;
    uint64_t at = 0; // where in the slice: a multiple of the pass's slot size
    size_t len = 0;  // bytes of data; the rest of the slot, or of the slice, is zeros
    bool hash = false;
    bool sum = true; // false: hashed only, its place in the sums still to be known (the pass leaves it out)
    uint32_t crc = 0xFFFFFFFFu; // where hash: the CRC-32 register of its bytes alone
};

struct SliceBatch {
    PassBytes data; // slots one after the other, each of the pass's slot size
    std::vector<InputSlice> slices;
};

// What a pass does with the input slices besides the arithmetic (their checksums), on threads of its own:
// inOrder once per batch and in-order thread (its number, below inOrderThreads), batches in order on each.
struct SliceHooks {
    std::function<void(const SliceBatch&, size_t slotStride, size_t thread)> inOrder;
    size_t inOrderThreads = 1;
};

// The buffers of the passes, kept from one pass to the next, so that a job can take its memory once,
// before it writes anything.
// Three batches: one filling while the sums add the other two together (the recovery slices, much larger
// than a batch, then come from memory once per two), and the in-order threads may be on any of those two.
constexpr uint32_t kPassBatches = 3;

// How a batch holds its inputs. slotBytes: what each input holds, a whole slice (0) or chunks of it (a multiple
// of the sums' block); a batch holds as many slots as the memory of batchSlices slices.
struct SlotLayout {
    SlotLayout(uint64_t sliceSize, uint32_t batchSlices, size_t slotBytes);
    size_t bytes;
    size_t stride; // from one slot to the next: lanes that hash slots side by side want it so
    size_t slots;
};

struct PassMemory {
    PassBytes recovery;
    SliceBatch batches[kPassBatches];
    // Takes what a pass of count recovery slices needs; false when this process cannot have that much.
    bool Reserve(uint64_t sliceSize, uint32_t batchSlices, uint32_t count, size_t slotBytes = 0);
};

class RecoveryPass {
public:
    // slotBytes as SlotLayout takes it.
    RecoveryPass(PassMemory& memory, uint64_t sliceSize, uint32_t batchSlices, uint32_t firstExponent, uint32_t count,
                 SliceHooks hooks = {}, size_t slotBytes = 0);
    ~RecoveryPass();
    RecoveryPass(const RecoveryPass&) = delete;
    RecoveryPass& operator=(const RecoveryPass&) = delete;

    // Where the next input goes (a slot); Add takes it, zeroing what len leaves of the slot. Add, Drain
    // and Finish throw what the pass's threads met (memory running out, a hook's failure).
    uint8_t* Slot();
    void Add(const InputSlice& slice);
    // Every slice added is in the recovery slices, which stay in the working layout: more may be added.
    void Drain();
    // Every slice added is in the recovery slices, in the files' layout.
    void Finish();

    uint32_t FirstExponent() const { return first_; }
    uint32_t Count() const { return count_; }
    // Recovery slice i, in the files' layout once Finish has returned.
    const uint8_t* Recovery(uint32_t i) const { return recovery_ + i * stride_; }

private:
    void Submit();
    void Sum();
    void RunInOrder(size_t thread);
    // The batches every in-order thread is past (under the lock).
    uint64_t Ordered() const;
    // Does work on the handed-over batches in order, most at a time (fewer at a drain or the end) as
    // (first, count), counting them in done, until the pass ends.
    void Follow(uint64_t& done, uint64_t most, const std::function<void(uint64_t first, uint64_t count)>& work);
    // Adds the batches [first, first + count) to the recovery slices.
    void Compute(uint64_t first, uint64_t count);
    SliceBatch& Batch(uint64_t n) { return batches_[n % kPassBatches]; }
    // The bytes an input at this place in its slice covers: a slot, or what is left of the slice.
    size_t SpanAt(uint64_t at) const;

    uint64_t sliceSize_;
    SlotLayout slots_;
    uint32_t first_;
    uint32_t count_;
    SliceHooks hooks_;
    size_t stride_; // of the recovery slices: the slice size, padded to whole chunks of the working layout
    uint8_t* recovery_ = nullptr; // the pass's recovery slices, in the working layout until Finish
    bool working_ = true;         // all zeros reads the same in both layouts
    SliceBatch (&batches_)[kPassBatches];
    // Batches by number: the one filling is submitted_; those below are handed over, and each thread
    // has done those below its count. A batch's memory is free again once every thread is past it.
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t submitted_ = 0;
    uint64_t summed_ = 0;
    std::vector<uint64_t> ordered_; // per in-order thread
    bool cleared_ = false; // the summing thread has set the recovery slices to zeros
    std::exception_ptr failure_; // the first a thread met, rethrown by Submit and Drain
    bool flushing_ = false; // Drain or the end waits: a thread takes what there is, not waiting for more
    bool stop_ = false;
    std::thread summer_;
    std::vector<std::thread> ordering_; // only with an in-order hook
};
