// The engine's face of the shared solver (core/slice_solve): the matrix taken from the heap within
// kSolverMemory, the work stoppable, and the answer as a plan of the recovery slices actually read.
#include "recovery/slice_solver.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

#include "core/slice_solve.h"
#include "recovery/gf16.h"

namespace par2 {
namespace {

bool AskCarryOn(void* context) {
    return (*static_cast<const std::function<bool()>*>(context))();
}

// The matrix and the plan's room, all taken before the first row is: an unsolvable size is said at once.
bool TakeRoom(const SliceSolve& solve, size_t k, std::vector<uint16_t>& matrix, SolvePlan& plan) {
    const uint64_t bytes = (solve.Words() + uint64_t{k} * solve.Rows()) * sizeof(uint16_t);
    if (bytes > kSolverMemory || solve.Words() > std::numeric_limits<size_t>::max() / sizeof(uint16_t))
        return false;
    try {
        matrix.resize(static_cast<size_t>(solve.Words()));
        plan.used.reserve(solve.Rows());
        plan.coefficients.reserve(k * solve.Rows());
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// Only recovery slices that appear with a non-zero coefficient are read.
void ReadPlan(const SliceSolve& solve, size_t k, SolvePlan& plan) {
    std::vector<int> column(solve.Taken(), -1);
    for (uint32_t j = 0; j < k; ++j)
        for (uint32_t a = 0; a < solve.Taken(); ++a)
            if (solve.Coefficient(j, a) != 0 && column[a] < 0) {
                column[a] = static_cast<int>(plan.used.size());
                plan.used.push_back(a);
            }
    plan.coefficients.assign(k * plan.used.size(), 0);
    for (uint32_t j = 0; j < k; ++j)
        for (uint32_t a = 0; a < solve.Taken(); ++a)
            if (column[a] >= 0)
                plan.coefficients[j * plan.used.size() + column[a]] = solve.Coefficient(j, a);
    plan.rejected = static_cast<uint32_t>(solve.Taken() - k);
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
    if (exponents.size() < k || k > std::numeric_limits<uint32_t>::max() / 2)
        return result;
    gf16::Prepare();
    const uint32_t available = static_cast<uint32_t>(std::min<size_t>(exponents.size(), k + kSpareRows));
    SliceSolve solve(missing.data(), static_cast<uint32_t>(k), exponents.data(), available);
    std::vector<uint16_t> matrix;
    if (!TakeRoom(solve, k, matrix, result.plan)) {
        result.outcome = SolveOutcome::OutOfMemory;
        return result;
    }
    const auto* ask = carryOn ? &carryOn : nullptr;
    switch (solve.Solve(matrix.data(), ask ? AskCarryOn : nullptr, const_cast<std::function<bool()>*>(ask))) {
    case SolveStatus::Solved:
        result.outcome = SolveOutcome::Solved;
        ReadPlan(solve, k, result.plan);
        break;
    case SolveStatus::Singular:
        result.outcome = SolveOutcome::Singular;
        break;
    case SolveStatus::Stopped:
        result.outcome = SolveOutcome::Stopped;
        break;
    }
    return result;
}

} // namespace par2
