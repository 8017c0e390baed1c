// The shared allocation-free solver (catstub's) against the engine's own arithmetic: the exponents it
// derives, and coefficients that give the missing words back from recovery words.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/cpu_state.h"
#include "core/gf16_field.h"
#include "core/slice_solve.h"
#include "recovery/gf16.h"
#include "recovery/par2_format.h"

namespace {

TEST(SharedSliceSolve, FactorsMatchTheEngineAndASingularChoiceIsSolvedWithSpares) {
    gf16::Prepare();
    for (uint32_t i = 0; i < par2::kMaxInputSlices; i += 97)
        ASSERT_EQ(par2::InputFactor(i, 12345), gf16::field::InputFactor(i, 12345)) << "slice " << i;

    std::mt19937 random(32);
    std::vector<uint32_t> missing;
    for (uint32_t i = 0; i < 20; ++i)
        missing.push_back(i * 37 + random() % 30);
    // Exponents 0 and 65535 give equal rows: one of the first two is set aside, a spare taken in.
    std::vector<uint32_t> exponents = {0, 65535};
    for (uint32_t e = 1; exponents.size() < 24; ++e)
        exponents.push_back(e);
    SliceSolve solve(missing.data(), 20, exponents.data(), 24);
    std::vector<uint16_t> work(solve.Words());
    ASSERT_EQ(SolveStatus::Solved, solve.Solve(work.data()));
    EXPECT_EQ(21u, solve.Taken());

    std::vector<uint16_t> data(20);
    for (auto& word : data)
        word = static_cast<uint16_t>(random());
    for (uint32_t j = 0; j < 20; ++j) {
        uint16_t solved = 0;
        for (uint32_t a = 0; a < solve.Taken(); ++a) {
            uint16_t word = 0;
            for (uint32_t m = 0; m < 20; ++m)
                word ^= gf16::Mul(par2::InputFactor(missing[m], exponents[a]), data[m]);
            solved ^= gf16::Mul(solve.Coefficient(j, a), word);
        }
        EXPECT_EQ(data[j], solved) << "slice " << missing[j];
    }

    // Fewer recovery slices than missing ones, or only equal rows: refused.
    SliceSolve few(missing.data(), 20, exponents.data(), 19);
    EXPECT_EQ(SolveStatus::Singular, few.Solve(nullptr));
    const uint32_t same[2] = {0, 65535};
    SliceSolve equal(missing.data(), 2, same, 2);
    std::vector<uint16_t> small(equal.Words());
    EXPECT_EQ(SolveStatus::Singular, equal.Solve(small.data()));
}

TEST(SharedField, TheSsse3MultiplyAndAddAgreesWithThePortableOne) {
    gf16::Prepare();
    if (!HasSsse3())
        GTEST_SKIP() << "this processor has no SSSE3";
    std::mt19937 random(16);
    for (size_t len : {0u, 2u, 30u, 32u, 34u, 64u, 1000u, 4098u}) {
        std::vector<uint8_t> src(len), portable(len), fast(len);
        for (size_t i = 0; i < len; ++i) {
            src[i] = static_cast<uint8_t>(random());
            portable[i] = fast[i] = static_cast<uint8_t>(random());
        }
        for (uint16_t factor : {uint16_t{0}, uint16_t{1}, uint16_t{0x8000}, static_cast<uint16_t>(random())}) {
            gf16::field::MulAdd(factor, src.data(), portable.data(), len);
            gf16::field::MulAddFastest(factor, src.data(), fast.data(), len);
            ASSERT_EQ(portable, fast) << "length " << len << ", factor " << factor;
        }
    }
}

} // namespace
