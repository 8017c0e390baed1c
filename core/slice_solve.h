// Which recovery slices rebuild a set's missing input slices, and with which coefficients: Gaussian
// elimination over GF(2^16), the rule every reader of recovery files follows, catstub included. When a
// choice of recovery slices is singular, further ones are brought in, up to kSolveSpares. No allocation:
// the matrix lives in words the caller gives. gf16::field::Prepare() must have run.
#pragma once

#include <cstddef>
#include <cstdint>

// A singular choice brings in at most this many further recovery slices before the set is called
// unsolvable: with distinct exponents a singular choice is rare, and each row costs a row and a column.
constexpr uint32_t kSolveSpares = 8;

enum class SolveStatus { Solved, Singular, Stopped };

class SliceSolve {
public:
    // missing: the k input slice indices to rebuild; exponents: those of the available recovery slices, the
    // first ones taken first. Fewer exponents than missing slices is Singular at once.
    SliceSolve(const uint32_t* missing, uint32_t k, const uint32_t* exponents, uint32_t available);

    uint32_t Rows() const { return rows_; }
    // The words the matrix takes (Rows() x (k + Rows())); 0 when nothing is to be solved.
    uint64_t Words() const { return static_cast<uint64_t>(rows_) * width_; }
    // Eliminates in work, of Words() words. carryOn, when given, is asked once per column.
    SolveStatus Solve(uint16_t* work, bool (*carryOn)(void*) = nullptr, void* context = nullptr);

    // After Solved: the recovery slices brought in (available[0..Taken()-1]), and the coefficient of the
    // a-th of them in missing slice j.
    uint32_t Taken() const { return taken_; }
    uint16_t Coefficient(uint32_t j, uint32_t a) const { return m_[static_cast<size_t>(j) * width_ + k_ + a]; }

private:
    uint16_t* Row(uint32_t r) { return m_ + static_cast<size_t>(r) * width_; }
    void TakeRow();
    bool FindPivot(uint32_t c, uint32_t& pivot);
    void AddMultiple(uint32_t dst, uint32_t src, uint16_t factor);
    void Normalise(uint32_t c, uint32_t pivot);

    const uint32_t* missing_;
    uint32_t k_;
    const uint32_t* exponents_;
    uint32_t rows_ = 0;
    uint32_t width_ = 0;
    uint32_t taken_ = 0;
    uint16_t* m_ = nullptr;
};
