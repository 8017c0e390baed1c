#include "recovery/rebuild_passes.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <utility>

#include "recovery/file_range.h"
#include "recovery/gf16.h"
#include "recovery/par2_format.h"
#include "recovery/product_sums.h"

namespace par2 {
namespace {

// Present slices read before their share is taken out of the recovery slices: many, since the recovery
// slices' ranges, more than the caches hold, go through memory once for every batch. Two batches are
// held: one read while the other is taken out.
constexpr size_t kPresentBatch = 64;
// Missing slices worked out together: the recovery slices' ranges go through memory once for all of them.
constexpr size_t kMissingBatch = 32;

// One pass: the range [begin, begin + len) of every slice.
class Pass {
public:
    Pass(const RecoverySet& set, const SolvePlan& plan, PassBuffers& buffers, ProgressMeter& meter)
        : set_(set), plan_(plan), buffers_(buffers), meter_(meter), used_(plan.used.size()) {
        for (size_t r = 0; r < buffers_.recoverySlots; ++r)
            recoveryAt_.push_back(buffers_.Slot(buffers_.recovery, r));
        recoveryIn_.assign(recoveryAt_.begin(), recoveryAt_.end());
        for (size_t i = 0; i < buffers_.inputSlots; ++i)
            inputAt_.push_back(buffers_.Slot(buffers_.inputs, i));
    }

    void Run(uint64_t begin, const std::vector<MissingSlice>& missing, const std::vector<PresentSlice>& present,
             const std::vector<File*>& outputs) {
        begin_ = begin;
        len_ = static_cast<size_t>(std::min(buffers_.range, set_.sliceSize - begin));
        lenWorking_ = gf16::WorkingSize(len_);
        LoadRecovery();
        TakeOutPresent(present);
        std::vector<size_t> written; // the missing slices this range writes, by place in missing
        for (size_t j = 0; j < missing.size(); ++j)
            if (begin_ < missing[j].length && outputs[missing[j].output])
                written.push_back(j);
        for (size_t first = 0; first < written.size(); first += buffers_.outSlots)
            WriteMissing(written.data() + first, std::min(buffers_.outSlots, written.size() - first), missing, outputs);
    }

private:
    // The recovery slices in use, in the working form, read on every core; the progress is told on the
    // caller's thread.
    void LoadRecovery() {
        gf16::RunOnEveryCore(used_, [this](size_t r, std::vector<uint8_t>&) {
            const RecoverySliceAt& at = set_.recovery[plan_.used[r]];
            uint8_t* acc = recoveryAt_[r];
            File in(at.path, File::Mode::ReadDenyWrite);
            ReadPadded(in, at.offset + begin_, acc, len_);
            std::fill(acc + len_, acc + lenWorking_, 0);
            gf16::ToWorking(acc, acc, lenWorking_);
        });
        meter_.Advance(static_cast<uint64_t>(used_) * len_);
    }

    // What the present slices put into the recovery slices taken out again: what is left is the missing
    // slices' share. A present slice is read up to its piece's recorded length and padded with zeros,
    // whatever follows in the file; a range past that length is all zeros and adds nothing. Batch after
    // batch, each read while the one before it is taken out, on the same threads.
    void TakeOutPresent(const std::vector<PresentSlice>& present) {
        std::vector<const PresentSlice*> inRange;
        for (const PresentSlice& p : present)
            if (begin_ < p.length)
                inRange.push_back(&p);
        const size_t batch = buffers_.batch;
        if (inRange.empty())
            return;
        const size_t firstCount = std::min(batch, inRange.size());
        meter_.Advance(ReadBatch(inRange.data(), firstCount, 0));
        std::optional<gf16::ProductSums> sums = BatchSums(inRange.data(), firstCount);
        const size_t blocks = (len_ + gf16::kSumBlock - 1) / gf16::kSumBlock;
        for (size_t first = 0, side = 0; first < inRange.size(); first += batch, side ^= 1) {
            const size_t next = first + std::min(batch, inRange.size() - first);
            const size_t following = std::min(batch, inRange.size() - next);
            const uint8_t* const* inputs = inputAt_.data() + side * batch;
            std::optional<gf16::ProductSums> followingSums;
            uint64_t read = 0;
            // Task 0 reads the next batch into the other side and makes its factors; the others add this
            // one, block by block.
            gf16::RunOnEveryCore(1 + blocks, [&](size_t task, std::vector<uint8_t>& scratch) {
                if (task == 0) {
                    if (following) {
                        read = ReadBatch(inRange.data() + next, following, side ^ 1);
                        followingSums = BatchSums(inRange.data() + next, following);
                    }
                    return;
                }
                const size_t at = (task - 1) * gf16::kSumBlock;
                sums->AddBlock(inputs, recoveryAt_.data(), at, std::min(gf16::kSumBlock, len_ - at), false, scratch);
            });
            // The progress is told on the caller's thread.
            meter_.Advance(read);
            sums = std::move(followingSums);
        }
    }

    // What a batch of n present slices adds to each recovery slice in use.
    gf16::ProductSums BatchSums(const PresentSlice* const* slices, size_t n) const {
        std::vector<uint16_t> factors(used_ * n);
        for (size_t b = 0; b < n; ++b)
            for (size_t r = 0; r < used_; ++r)
                factors[r * n + b] = InputFactor(slices[b]->index, set_.recovery[plan_.used[r]].exponent);
        return gf16::ProductSums(n, used_, factors);
    }

    // A batch of present slices read into one side of the input buffers; the bytes read.
    uint64_t ReadBatch(const PresentSlice* const* slices, size_t n, size_t side) {
        uint64_t read = 0;
        for (size_t b = 0; b < n; ++b) {
            const PresentSlice& p = *slices[b];
            if (openPath_ != p.path) {
                source_.Open(*p.path, File::Mode::ReadDenyWrite);
                openPath_ = p.path;
            }
            uint8_t* input = inputAt_[side * buffers_.batch + b];
            const size_t inPiece = static_cast<size_t>(std::min<uint64_t>(len_, p.length - begin_));
            ReadPadded(source_, p.offset + begin_, input, inPiece);
            std::fill(input + inPiece, input + len_, 0);
            read += inPiece;
        }
        return read;
    }

    // A batch of missing slices' ranges, each its row of the solution applied to what is left.
    void WriteMissing(const size_t* which, size_t count, const std::vector<MissingSlice>& missing,
                      const std::vector<File*>& outputs) {
        std::vector<uint16_t> rows;
        std::vector<uint8_t*> outAt;
        for (size_t k = 0; k < count; ++k) {
            rows.insert(rows.end(), plan_.coefficients.begin() + which[k] * used_,
                        plan_.coefficients.begin() + (which[k] + 1) * used_);
            outAt.push_back(buffers_.Slot(buffers_.out, k));
            std::fill(outAt[k], outAt[k] + lenWorking_, 0);
        }
        gf16::ProductSums(used_, count, rows).Add(recoveryIn_.data(), outAt.data(), len_, true);
        for (size_t k = 0; k < count; ++k) {
            const MissingSlice& m = missing[which[k]];
            gf16::FromWorking(outAt[k], outAt[k], lenWorking_);
            WriteAt(*outputs[m.output], m.offset + begin_, outAt[k],
                    static_cast<size_t>(std::min<uint64_t>(len_, m.length - begin_)));
        }
    }

    const RecoverySet& set_;
    const SolvePlan& plan_;
    PassBuffers& buffers_;
    ProgressMeter& meter_;
    const size_t used_;
    std::vector<uint8_t*> recoveryAt_, inputAt_;
    std::vector<const uint8_t*> recoveryIn_;
    File source_;
    const std::string* openPath_ = nullptr;
    uint64_t begin_ = 0;
    size_t len_ = 0, lenWorking_ = 0;
};

} // namespace

PassBuffers TakePassBuffers(uint64_t memoryCap, size_t used, size_t present, size_t missing, uint64_t sliceSize) {
    PassBuffers buffers;
    buffers.batch = std::min<size_t>(kPresentBatch, std::max<size_t>(1, present));
    buffers.recoverySlots = used;
    // The second batch only where there is more than one to read.
    buffers.inputSlots = (present > buffers.batch ? 2 : 1) * buffers.batch;
    buffers.outSlots = std::min<size_t>(kMissingBatch, std::max<size_t>(1, missing));
    const size_t slots = buffers.recoverySlots + buffers.inputSlots + buffers.outSlots;
    const uint64_t each = memoryCap / slots;
    uint64_t range = each > gf16::kSlotSkew + gf16::kWorkingChunk ? each - gf16::kSlotSkew - gf16::kWorkingChunk : 0;
    range -= range % gf16::kWorkingChunk;
    buffers.range = std::max<uint64_t>(4096, std::min(sliceSize, range));
    // A size this process cannot even name is memory it cannot have.
    const uint64_t stride =
        (buffers.range + gf16::kWorkingChunk - 1) / gf16::kWorkingChunk * gf16::kWorkingChunk + gf16::kSlotSkew;
    buffers.stride = static_cast<size_t>(stride);
    for (auto [bytes, count] :
         {std::pair{&buffers.recovery, buffers.recoverySlots}, std::pair{&buffers.inputs, buffers.inputSlots},
          std::pair{&buffers.out, buffers.outSlots}})
        if (count > SIZE_MAX / stride || !bytes->Allocate(static_cast<size_t>(stride * count)))
            throw std::bad_alloc();
    return buffers;
}

void RunPasses(const RecoverySet& set, const SolvePlan& plan, const std::vector<MissingSlice>& missing,
               const std::vector<PresentSlice>& present, PassBuffers& buffers, const std::vector<File*>& outputs,
               ProgressMeter& meter) {
    Pass pass(set, plan, buffers, meter);
    for (uint64_t begin = 0; begin < set.sliceSize; begin += buffers.range)
        pass.Run(begin, missing, present, outputs);
}

} // namespace par2
