#include "recovery/slice_solver.h"

#include "recovery/gf16.h"
#include "recovery/par2_format.h"

namespace par2 {
namespace {

// Rows as little-endian 16-bit words, so the bulk row work is gf16::MulAdd over bytes.
using Row = std::vector<uint16_t>;

void AddMultiple(Row& dst, const Row& src, uint16_t factor) {
    gf16::MulAdd(factor, reinterpret_cast<const uint8_t*>(src.data()), reinterpret_cast<uint8_t*>(dst.data()),
                 src.size() * 2);
}

void Scale(Row& row, uint16_t factor) {
    for (uint16_t& w : row)
        w = gf16::Mul(w, factor);
}

} // namespace

std::optional<SolvePlan> PlanSolve(const std::vector<uint32_t>& missing, const std::vector<uint32_t>& exponents) {
    const size_t k = missing.size();
    SolvePlan plan;
    if (k == 0)
        return plan;
    if (exponents.size() < k)
        return std::nullopt;
    // Each row: k coefficients of the missing slices, then one coefficient per row taken in (which
    // combination of the recovery slices it now stands for). Rows come in only as they are needed.
    std::vector<Row> rows;
    std::vector<uint32_t> taken; // available index of each row's origin
    size_t next = 0;
    auto takeRow = [&]() {
        const uint32_t e = exponents[next];
        Row row(k + exponents.size(), 0);
        for (size_t j = 0; j < k; ++j)
            row[j] = InputFactor(missing[j], e);
        row[k + next] = 1;
        taken.push_back(static_cast<uint32_t>(next));
        ++next;
        rows.push_back(std::move(row));
    };
    for (size_t i = 0; i < k; ++i)
        takeRow();
    for (size_t c = 0; c < k; ++c) {
        // A row at or below c with a non-zero entry in column c; bring in further rows until one has it.
        size_t pivot = c;
        for (;;) {
            while (pivot < rows.size() && rows[pivot][c] == 0)
                ++pivot;
            if (pivot < rows.size())
                break;
            if (next == exponents.size())
                return std::nullopt;
            takeRow();
            Row& fresh = rows.back();
            for (size_t p = 0; p < c; ++p) // clear the columns already solved
                if (fresh[p] != 0)
                    AddMultiple(fresh, rows[p], fresh[p]);
        }
        std::swap(rows[c], rows[pivot]);
        Scale(rows[c], gf16::Inv(rows[c][c]));
        for (size_t r = 0; r < rows.size(); ++r)
            if (r != c && rows[r][c] != 0)
                AddMultiple(rows[r], rows[c], rows[r][c]);
    }
    // Rows 0..k-1 now read: missing j = Σ over taken rows of their coefficients. Only recovery slices that
    // appear with a non-zero coefficient are read.
    std::vector<int> column(exponents.size(), -1);
    for (size_t j = 0; j < k; ++j)
        for (size_t a = 0; a < exponents.size(); ++a)
            if (rows[j][k + a] != 0 && column[a] < 0) {
                column[a] = static_cast<int>(plan.used.size());
                plan.used.push_back(static_cast<uint32_t>(a));
            }
    plan.coefficients.assign(k * plan.used.size(), 0);
    for (size_t j = 0; j < k; ++j)
        for (size_t a = 0; a < exponents.size(); ++a)
            if (column[a] >= 0)
                plan.coefficients[j * plan.used.size() + column[a]] = rows[j][k + a];
    plan.rejected = static_cast<uint32_t>(taken.size() - k);
    return plan;
}

} // namespace par2
