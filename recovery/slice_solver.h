// The linear system that rebuilds missing input slices from recovery slices: which recovery slices to use
// and the inverse that turns them (less the present input slices) into the missing ones.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/slice_solve.h"

namespace par2 {

struct SolvePlan {
    std::vector<uint32_t> used;         // indices into the available list, one per missing slice
    std::vector<uint16_t> coefficients; // missing.size() rows of used.size(): missing j = Σ c[j][r] · used r
    uint32_t rejected = 0;              // available slices tried and set aside as dependent on the others
};

enum class SolveOutcome {
    Solved,
    Singular,    // fewer recovery slices than missing ones, or no choice of them within the spares is invertible
    OutOfMemory, // the matrix would outgrow kSolverMemory or could not be had: nothing was tried
    Stopped,
};

struct SolveResult {
    SolveOutcome outcome = SolveOutcome::Singular;
    SolvePlan plan;
};

// A singular choice brings in at most this many further recovery slices: the shared solver's rule.
constexpr uint32_t kSpareRows = kSolveSpares;
// The most the matrix and the plan may take: about 13000 missing slices. The work grows with the cube of
// their number, so a larger system would keep the user waiting for hours (and a 32-bit process has no room).
constexpr uint64_t kSolverMemory = uint64_t{1} << 30;

// Gaussian elimination over GF(2^16) for the missing input slice indices, using the recovery slices of the
// given exponents, the first ones first; when a choice gives a singular matrix, up to kSpareRows further ones
// are tried. The matrix (missing + spares rows of twice that many columns) is taken before any work; carryOn
// is asked once per column and stops the work when it says no.
SolveResult PlanSolve(const std::vector<uint32_t>& missing, const std::vector<uint32_t>& exponents,
                      const std::function<bool()>& carryOn = nullptr);

} // namespace par2
