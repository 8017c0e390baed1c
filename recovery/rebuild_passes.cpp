#include "recovery/rebuild_passes.h"

#include <algorithm>

#include "recovery/file_range.h"
#include "recovery/gf16.h"
#include "recovery/par2_format.h"
#include "recovery/product_sums.h"

namespace par2 {
namespace {

// Present slices read before their share is taken out of the recovery slices: enough that each block of
// a recovery slice, in the cache, takes several of them in at once.
constexpr size_t kPresentBatch = 16;

// One pass: the range [begin, begin + len) of every slice.
class Pass {
public:
    Pass(const RecoverySet& set, const SolvePlan& plan, PassBuffers& buffers, ProgressMeter& meter)
        : set_(set), plan_(plan), buffers_(buffers), meter_(meter), used_(plan.used.size()) {
        for (std::vector<uint8_t>& r : buffers_.recovery)
            recoveryAt_.push_back(r.data());
        recoveryIn_.assign(recoveryAt_.begin(), recoveryAt_.end());
        for (std::vector<uint8_t>& in : buffers_.inputs)
            inputAt_.push_back(in.data());
    }

    void Run(uint64_t begin, const std::vector<MissingSlice>& missing, const std::vector<PresentSlice>& present,
             const std::vector<File*>& outputs) {
        begin_ = begin;
        len_ = static_cast<size_t>(std::min(buffers_.range, set_.sliceSize - begin));
        lenWorking_ = gf16::WorkingSize(len_);
        LoadRecovery();
        TakeOutPresent(present);
        for (size_t j = 0; j < missing.size(); ++j)
            WriteMissing(j, missing[j], outputs[missing[j].output]);
    }

private:
    // The recovery slices in use, in the working form.
    void LoadRecovery() {
        for (size_t r = 0; r < used_; ++r) {
            const RecoverySliceAt& at = set_.recovery[plan_.used[r]];
            std::vector<uint8_t>& acc = buffers_.recovery[r];
            File in(at.path, File::Mode::ReadDenyWrite);
            ReadPadded(in, at.offset + begin_, acc.data(), len_);
            std::fill(acc.begin() + len_, acc.begin() + lenWorking_, 0);
            gf16::ToWorking(acc.data(), acc.data(), lenWorking_);
            meter_.Advance(len_);
        }
    }

    // What the present slices put into the recovery slices taken out again: what is left is the missing
    // slices' share. A present slice is read up to its piece's recorded length and padded with zeros,
    // whatever follows in the file; a range past that length is all zeros and adds nothing.
    void TakeOutPresent(const std::vector<PresentSlice>& present) {
        std::vector<const PresentSlice*> inBatch;
        for (size_t next = 0; next < present.size();) {
            inBatch.clear();
            for (; next < present.size() && inBatch.size() < buffers_.batch; ++next)
                if (begin_ < present[next].length)
                    inBatch.push_back(&present[next]);
            if (inBatch.empty())
                break;
            meter_.Advance(ReadBatch(inBatch));
        }
    }

    // One batch of present slices read and taken out; the bytes read.
    uint64_t ReadBatch(const std::vector<const PresentSlice*>& inBatch) {
        const size_t n = inBatch.size();
        factors_.assign(used_ * n, 0);
        uint64_t read = 0;
        for (size_t b = 0; b < n; ++b) {
            const PresentSlice& p = *inBatch[b];
            if (openPath_ != p.path) {
                source_.Open(*p.path, File::Mode::ReadDenyWrite);
                openPath_ = p.path;
            }
            std::vector<uint8_t>& input = buffers_.inputs[b];
            const size_t inPiece = static_cast<size_t>(std::min<uint64_t>(len_, p.length - begin_));
            ReadPadded(source_, p.offset + begin_, input.data(), inPiece);
            std::fill(input.begin() + inPiece, input.begin() + len_, 0);
            read += inPiece;
            for (size_t r = 0; r < used_; ++r)
                factors_[r * n + b] = InputFactor(p.index, set_.recovery[plan_.used[r]].exponent);
        }
        gf16::ProductSums(n, used_, factors_).Add(inputAt_.data(), recoveryAt_.data(), len_, false);
        return read;
    }

    // The j-th missing slice's range: its row of the solution applied to what is left.
    void WriteMissing(size_t j, const MissingSlice& m, File* output) {
        if (begin_ >= m.length || !output)
            return;
        std::vector<uint8_t>& out = buffers_.out;
        uint8_t* outAt = out.data();
        std::fill(out.begin(), out.begin() + lenWorking_, 0);
        const std::vector<uint16_t> row(plan_.coefficients.begin() + j * used_,
                                        plan_.coefficients.begin() + (j + 1) * used_);
        gf16::ProductSums(used_, 1, row).Add(recoveryIn_.data(), &outAt, len_, true);
        gf16::FromWorking(out.data(), out.data(), lenWorking_);
        WriteAt(*output, m.offset + begin_, out.data(),
                static_cast<size_t>(std::min<uint64_t>(len_, m.length - begin_)));
    }

    const RecoverySet& set_;
    const SolvePlan& plan_;
    PassBuffers& buffers_;
    ProgressMeter& meter_;
    const size_t used_;
    std::vector<uint8_t*> recoveryAt_, inputAt_;
    std::vector<const uint8_t*> recoveryIn_;
    std::vector<uint16_t> factors_;
    File source_;
    const std::string* openPath_ = nullptr;
    uint64_t begin_ = 0;
    size_t len_ = 0, lenWorking_ = 0;
};

} // namespace

PassBuffers TakePassBuffers(uint64_t memoryCap, size_t used, size_t present, uint64_t sliceSize) {
    PassBuffers buffers;
    buffers.batch = std::min<size_t>(kPresentBatch, std::max<size_t>(1, present));
    uint64_t range = memoryCap / (used + buffers.batch + 1);
    range -= range % gf16::kWorkingChunk;
    buffers.range = std::max<uint64_t>(4096, std::min(sliceSize, range));
    const size_t working = gf16::WorkingSize(static_cast<size_t>(buffers.range));
    buffers.recovery.assign(used, std::vector<uint8_t>(working));
    buffers.inputs.assign(buffers.batch, std::vector<uint8_t>(static_cast<size_t>(buffers.range)));
    buffers.out.resize(working);
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
