// The linear system that rebuilds missing input slices from recovery slices: which recovery slices to use
// and the inverse that turns them (less the present input slices) into the missing ones.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace par2 {

struct SolvePlan {
    std::vector<uint32_t> used;         // indices into the available list, one per missing slice
    std::vector<uint16_t> coefficients; // missing.size() rows of used.size(): missing j = Σ c[j][r] · used r
    uint32_t rejected = 0;              // available slices tried and set aside as dependent on the others
};

// Gaussian elimination over GF(2^16) for the missing input slice indices, using the recovery slices of the
// given exponents, the first ones first; when a choice gives a singular matrix, further ones are tried.
// Empty when no choice of the available slices is invertible.
std::optional<SolvePlan> PlanSolve(const std::vector<uint32_t>& missing, const std::vector<uint32_t>& exponents);

} // namespace par2
