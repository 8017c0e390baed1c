// The augmented matrix: each row holds k coefficients of the missing slices, then one column per row it
// may take in (which combination of the recovery slices it now stands for). Rows are little-endian words,
// so the row work is the field's multiply-and-add over bytes.
#include "core/slice_solve.h"

#include "core/gf16_field.h"

using gf16::field::Div;
using gf16::field::InputFactor;
using gf16::field::Mul;

SliceSolve::SliceSolve(const uint32_t* missing, uint32_t k, const uint32_t* exponents, uint32_t available)
    : missing_(missing), k_(k), exponents_(exponents) {
    if (k == 0 || available < k)
        return;
    rows_ = available - k < kSolveSpares ? available : k + kSolveSpares;
    width_ = k + rows_;
}

void SliceSolve::TakeRow() {
    uint16_t* row = Row(taken_);
    for (uint32_t j = 0; j < k_; ++j)
        row[j] = InputFactor(missing_[j], exponents_[taken_]);
    row[k_ + taken_] = 1;
    ++taken_;
}

void SliceSolve::AddMultiple(uint32_t dst, uint32_t src, uint16_t factor) {
    gf16::field::MulAdd(factor, reinterpret_cast<const uint8_t*>(Row(src)), reinterpret_cast<uint8_t*>(Row(dst)),
                        static_cast<size_t>(width_) * 2);
}

// A row at or below c with a non-zero entry in column c, bringing in further rows until one has it.
bool SliceSolve::FindPivot(uint32_t c, uint32_t& pivot) {
    pivot = c;
    for (;;) {
        while (pivot < taken_ && Row(pivot)[c] == 0)
            ++pivot;
        if (pivot < taken_)
            return true;
        if (taken_ == rows_)
            return false;
        TakeRow();
        const uint32_t fresh = taken_ - 1;
        for (uint32_t p = 0; p < c; ++p) // clear the columns already solved
            if (Row(fresh)[p] != 0)
                AddMultiple(fresh, p, Row(fresh)[p]);
    }
}

// The pivot row to place c, scaled to 1 in column c, and column c cleared from every other row.
void SliceSolve::Normalise(uint32_t c, uint32_t pivot) {
    uint16_t* a = Row(c);
    uint16_t* b = Row(pivot);
    for (uint32_t i = 0; i < width_ && pivot != c; ++i) {
        const uint16_t t = a[i];
        a[i] = b[i];
        b[i] = t;
    }
    const uint16_t inverse = Div(1, a[c]);
    for (uint32_t i = 0; i < width_; ++i)
        a[i] = Mul(a[i], inverse);
    for (uint32_t r = 0; r < taken_; ++r)
        if (r != c && Row(r)[c] != 0)
            AddMultiple(r, c, Row(r)[c]);
}

SolveStatus SliceSolve::Solve(uint16_t* work, bool (*carryOn)(void*), void* context) {
    if (k_ == 0)
        return SolveStatus::Solved;
    if (rows_ == 0)
        return SolveStatus::Singular;
    m_ = work;
    taken_ = 0;
    for (uint64_t i = 0; i < Words(); ++i)
        m_[i] = 0;
    while (taken_ < k_)
        TakeRow();
    for (uint32_t c = 0; c < k_; ++c) {
        if (carryOn && !carryOn(context))
            return SolveStatus::Stopped;
        uint32_t pivot = 0;
        if (!FindPivot(c, pivot))
            return SolveStatus::Singular;
        Normalise(c, pivot);
    }
    return SolveStatus::Solved;
}
