#include "recovery/slice_solver.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>

#include "recovery/gf16.h"
#include "recovery/par2_format.h"

namespace par2 {
namespace {

// The augmented matrix in one block, taken whole before the elimination: each row holds k coefficients of
// the missing slices, then one column per row it may take in (which combination of the recovery slices it
// now stands for). Rows as little-endian 16-bit words, so the bulk row work is gf16::MulAdd over bytes.
class Matrix {
public:
    Matrix(size_t rows, size_t width) : width_(width), words_(rows * width, 0) {}
    uint16_t* Row(size_t r) { return words_.data() + r * width_; }
    void AddMultiple(size_t dst, size_t src, uint16_t factor) {
        gf16::MulAdd(factor, reinterpret_cast<const uint8_t*>(Row(src)), reinterpret_cast<uint8_t*>(Row(dst)),
                     width_ * 2);
    }
    void Scale(size_t r, uint16_t factor) {
        uint16_t* row = Row(r);
        for (size_t i = 0; i < width_; ++i)
            row[i] = gf16::Mul(row[i], factor);
    }
    void Swap(size_t a, size_t b) { std::swap_ranges(Row(a), Row(a) + width_, Row(b)); }

private:
    size_t width_;
    std::vector<uint16_t> words_;
};

// Reduces the first k columns to the identity, bringing in rows as they are needed; Singular when the rows
// run out. taken counts the rows brought in.
SolveOutcome Eliminate(Matrix& m, size_t k, size_t rows, const std::vector<uint32_t>& missing,
                       const std::vector<uint32_t>& exponents, const std::function<bool()>& carryOn, size_t& taken) {
    auto takeRow = [&]() {
        uint16_t* row = m.Row(taken);
        for (size_t j = 0; j < k; ++j)
            row[j] = InputFactor(missing[j], exponents[taken]);
        row[k + taken] = 1;
        ++taken;
    };
    while (taken < k)
        takeRow();
    for (size_t c = 0; c < k; ++c) {
        if (carryOn && !carryOn())
            return SolveOutcome::Stopped;
        // A row at or below c with a non-zero entry in column c; bring in further rows until one has it.
        size_t pivot = c;
        for (;;) {
            while (pivot < taken && m.Row(pivot)[c] == 0)
                ++pivot;
            if (pivot < taken)
                break;
            if (taken == rows)
                return SolveOutcome::Singular;
            takeRow();
            const size_t fresh = taken - 1;
            for (size_t p = 0; p < c; ++p) // clear the columns already solved
                if (m.Row(fresh)[p] != 0)
                    m.AddMultiple(fresh, p, m.Row(fresh)[p]);
        }
        m.Swap(c, pivot);
        m.Scale(c, gf16::Inv(m.Row(c)[c]));
        for (size_t r = 0; r < taken; ++r)
            if (r != c && m.Row(r)[c] != 0)
                m.AddMultiple(r, c, m.Row(r)[c]);
    }
    return SolveOutcome::Solved;
}

} // namespace

SolveResult PlanSolve(const std::vector<uint32_t>& missing, const std::vector<uint32_t>& exponents,
                      const std::function<bool()>& carryOn) {
    const size_t k = missing.size();
    SolveResult result;
    if (k == 0) {
        result.outcome = SolveOutcome::Solved;
        return result;
    }
    if (exponents.size() < k)
        return result;
    const size_t rows = std::min<size_t>(exponents.size(), k + kSpareRows), width = k + rows;
    const uint64_t bytes = (uint64_t{rows} * width + uint64_t{k} * rows) * sizeof(uint16_t);
    if (bytes > kSolverMemory || width > std::numeric_limits<size_t>::max() / sizeof(uint16_t) / rows) {
        result.outcome = SolveOutcome::OutOfMemory;
        return result;
    }
    // The matrix and the plan's room, all taken before the first row is: an unsolvable size is said at once.
    std::optional<Matrix> matrix;
    try {
        matrix.emplace(rows, width);
        result.plan.used.reserve(rows);
        result.plan.coefficients.reserve(k * rows);
    } catch (const std::bad_alloc&) {
        result.outcome = SolveOutcome::OutOfMemory;
        return result;
    } catch (const std::length_error&) {
        result.outcome = SolveOutcome::OutOfMemory;
        return result;
    }
    size_t taken = 0;
    result.outcome = Eliminate(*matrix, k, rows, missing, exponents, carryOn, taken);
    if (result.outcome != SolveOutcome::Solved)
        return result;
    // Rows 0..k-1 now read: missing j = Σ over taken rows of their coefficients. Only recovery slices that
    // appear with a non-zero coefficient are read.
    SolvePlan& plan = result.plan;
    std::vector<int> column(taken, -1);
    for (size_t j = 0; j < k; ++j)
        for (size_t a = 0; a < taken; ++a)
            if (matrix->Row(j)[k + a] != 0 && column[a] < 0) {
                column[a] = static_cast<int>(plan.used.size());
                plan.used.push_back(static_cast<uint32_t>(a));
            }
    plan.coefficients.assign(k * plan.used.size(), 0);
    for (size_t j = 0; j < k; ++j)
        for (size_t a = 0; a < taken; ++a)
            if (column[a] >= 0)
                plan.coefficients[j * plan.used.size() + column[a]] = matrix->Row(j)[k + a];
    plan.rejected = static_cast<uint32_t>(taken - k);
    return result;
}

} // namespace par2
