// Sums of products of slices, the bulk of both the recovery files and the rebuild: every output gets
// Σ_i factor(i, output) · input_i. The work goes in blocks of a few KiB of every slice, shared out among
// the processor's cores; within a block, each input is converted once, and a small group of inputs at a
// time, held in the first-level cache, is added into a short run of every output, which the second-level
// cache holds meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "recovery/gf16.h"

namespace gf16 {

// Bytes of every slice per block: a multiple of the working chunk.
constexpr size_t kSumBlock = 16384;
// Buffers of slices read side by side are best this much more than a slice apart: runs of them taken in
// together then do not all fall on the same sets of the first-level cache.
constexpr size_t kSlotSkew = 512;

class ProductSums {
public:
    // factors[o * inputs + i] multiplies input i into output o.
    ProductSums(size_t inputs, size_t outputs, const std::vector<uint16_t>& factors);

    // Adds bytes [at, at + len) of the inputs into the same bytes of the outputs, which are in the working
    // layout; the inputs are in the files' layout unless inputsWorking. len is at most kSumBlock and, but
    // for the inputs' last block, a multiple of the working chunk (the outputs' last chunk is padded).
    // scratch: the calling thread's own.
    void AddBlock(const uint8_t* const* inputs, uint8_t* const* outputs, size_t at, size_t len, bool inputsWorking,
                  std::vector<uint8_t>& scratch) const;

    // AddBlock over all blocks of len bytes, on every core.
    void Add(const uint8_t* const* inputs, uint8_t* const* outputs, size_t len, bool inputsWorking) const;

private:
    // Bytes [at, at + len) of every output from the inputs' bytes at inputAt, in the working layout; one
    // output after another, or one group of inputs after another.
    void AddSubBlock(const uint8_t* const* inputs, size_t inputAt, uint8_t* const* outputs, size_t at, size_t len,
                     bool outputsFirst) const;
    // The sum of n inputs by the factors from the factor-th on.
    void Sum(size_t factor, const uint8_t* const* from, size_t n, uint8_t* dst, size_t len) const;
    size_t inputs_, outputs_;
    bool fromMatrices_;
    std::vector<Products> products_;
    std::vector<uint64_t> matrices_; // four per factor, where fromMatrices_
};

// Runs task(0) .. task(count - 1) on every core, each task once; each thread has a scratch buffer of its own.
void RunOnEveryCore(size_t count, const std::function<void(size_t task, std::vector<uint8_t>& scratch)>& task);

} // namespace gf16
