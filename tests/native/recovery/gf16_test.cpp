#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "recovery/gf16.h"
#include "recovery/gf16_paths.h"
#include "recovery/product_sums.h"
#include "tests/support/path_test.h"

TEST(Gf16, FieldLaws) {
    EXPECT_EQ(gf16::Mul(0x8000, 2), 0x100B); // the polynomial's reduction: x^16 = x^12 + x^3 + x + 1
    std::mt19937 rng(7);
    for (int i = 0; i < 1000; ++i) {
        const uint16_t a = static_cast<uint16_t>(rng() | 1), b = static_cast<uint16_t>(rng()),
                       c = static_cast<uint16_t>(rng());
        EXPECT_EQ(gf16::Mul(a, gf16::Inv(a)), 1);
        EXPECT_EQ(gf16::Div(gf16::Mul(a, b), a), b);
        EXPECT_EQ(gf16::Mul(a, b ^ c), gf16::Mul(a, b) ^ gf16::Mul(a, c));
    }
    EXPECT_EQ(gf16::Exp2(65535), 1);
    EXPECT_EQ(gf16::Pow(gf16::Exp2(3), 5), gf16::Exp2(15));
}

TEST(Gf16, MulAddMatchesWordByWordProduct) {
    std::mt19937 rng(11);
    std::vector<uint8_t> src(1002), dst(1002), want;
    for (auto& b : src)
        b = static_cast<uint8_t>(rng());
    for (auto& b : dst)
        b = static_cast<uint8_t>(rng());
    const uint16_t factor = 0xBEEF;
    want = dst;
    for (size_t i = 0; i < src.size(); i += 2) {
        const uint16_t p = gf16::Mul(factor, static_cast<uint16_t>(src[i] | src[i + 1] << 8));
        want[i] ^= static_cast<uint8_t>(p);
        want[i + 1] ^= static_cast<uint8_t>(p >> 8);
    }
    gf16::MulAdd(factor, src.data(), dst.data(), dst.size());
    EXPECT_EQ(dst, want);
}

// The widest paths are taken exactly where the compiler's own detection (which also asks whether the system
// saves the 512-bit registers) finds what they need.
TEST(Gf16, WidePathsAreTakenExactlyWhereTheProcessorHasThem) {
    __builtin_cpu_init();
    const bool gfni = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("gfni");
    const bool avx512bw = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    EXPECT_EQ(gfni, HasGfni());
    EXPECT_EQ(avx512bw, HasAvx512bw());
    EXPECT_EQ(gfni && avx512bw, HasAvx512Gfni());
    if (gfni || avx512bw) {
        EXPECT_STREQ(gfni && avx512bw ? "avx512-gfni" : gfni ? "gfni" : "avx512bw", gf16::WorkingPathName());
    }
}

namespace {

using Gf16MulAddPath = PathTest<gf16::MulAddPath>;
using Gf16WorkingPath = PathTest<gf16::WorkingPath>;

} // namespace

// Every path this processor has, against the oracle: random factors (0 and 1 among them), lengths
// across the vector widths' tails, and source and destination misaligned independently.
TEST_P(Gf16MulAddPath, MatchesThePortableOne) {
    const gf16::MulAddPath& path = GetParam();
    std::mt19937 rng(5);
    std::vector<uint8_t> src(70000), dst(70000);
    for (auto& b : src)
        b = static_cast<uint8_t>(rng());
    for (int round = 0; round < 200; ++round) {
        const uint16_t factor = round < 2 ? static_cast<uint16_t>(round) : static_cast<uint16_t>(rng());
        const size_t len = 2 * (rng() % (round < 100 ? 80 : 32000));
        const size_t s = rng() % 64, d = rng() % 64;
        for (size_t i = 0; i < len; ++i)
            dst[d + i] = static_cast<uint8_t>(rng());
        std::vector<uint8_t> want(dst.begin() + d, dst.begin() + d + len);
        gf16::MulAddPortable(factor, src.data() + s, want.data(), len);
        path.run(factor, src.data() + s, dst.data() + d, len);
        ASSERT_TRUE(std::equal(want.begin(), want.end(), dst.begin() + d))
            << path.name << " factor " << factor << " length " << len;
    }
}

// The working layout per path: its conversions give the portable one's bytes and invert each other, and
// its multiply-and-add and its sums, between the conversions, are the oracle's; random factors, lengths
// and offsets.
TEST_P(Gf16WorkingPath, MatchesThePortableOne) {
    const gf16::WorkingPath& path = GetParam();
    std::mt19937 rng(9);
    std::vector<uint8_t> src(40000 + 64), dst(40000 + 64);
    for (auto& b : src)
        b = static_cast<uint8_t>(rng());
    for (int round = 0; round < 60; ++round) {
        const uint16_t factor = round < 2 ? static_cast<uint16_t>(round) : static_cast<uint16_t>(rng());
        const size_t len = gf16::kWorkingChunk * (rng() % (round < 30 ? 4 : 600));
        const size_t s = rng() % 64, d = rng() % 64;
        for (size_t i = 0; i < len; ++i)
            dst[d + i] = static_cast<uint8_t>(rng());
        std::vector<uint8_t> want(dst.begin() + d, dst.begin() + d + len);
        gf16::MulAddPortable(factor, src.data() + s, want.data(), len);
        std::vector<uint8_t> a(len), b(len), portable(len);
        path.toWorking(src.data() + s, a.data(), len);
        gf16::ToWorkingPortable(src.data() + s, portable.data(), len);
        ASSERT_EQ(a, portable) << path.name;
        path.toWorking(dst.data() + d, b.data(), len);
        gf16::Products products;
        gf16::PrepareProducts(factor, products);
        path.addWorking(products, a.data(), b.data(), len);
        path.fromWorking(b.data(), b.data(), len);
        ASSERT_EQ(b, want) << path.name << " factor " << factor << " length " << len;
    }
    // A sum over more inputs than one group of a fused path holds: factor k times the source at k.
    const size_t len = gf16::kWorkingChunk * 5, count = 11;
    std::vector<uint8_t> working(len * count), sum(len, 0), want(len, 0);
    std::vector<gf16::Products> products(count);
    std::vector<uint16_t> factors(count);
    std::vector<const uint8_t*> srcs;
    for (size_t k = 0; k < count; ++k) {
        const uint16_t factor = factors[k] = static_cast<uint16_t>(k == 0 ? 0 : rng());
        gf16::MulAddPortable(factor, src.data() + k, want.data(), len);
        gf16::PrepareProducts(factor, products[k]);
        path.toWorking(src.data() + k, working.data() + k * len, len);
        srcs.push_back(working.data() + k * len);
    }
    path.sumWorking(products.data(), srcs.data(), count, sum.data(), len);
    path.fromWorking(sum.data(), sum.data(), len);
    ASSERT_EQ(sum, want) << path.name << " summing " << count << " inputs";
    if (path.sumMatrices) {
        std::vector<uint64_t> matrices;
        for (const gf16::Products& p : products)
            matrices.insert(matrices.end(), p.affine, p.affine + 4);
        std::fill(sum.begin(), sum.end(), 0);
        path.sumMatrices(matrices.data(), srcs.data(), count, sum.data(), len);
        path.fromWorking(sum.data(), sum.data(), len);
        ASSERT_EQ(sum, want) << path.name << " summing " << count << " inputs from their matrices";
    }
    if (path.sumIntoEach) {
        // A group, and more than one, into two outputs a chunk into them: input k by factor k + o in output o.
        for (size_t n : {size_t{5}, count}) {
            std::vector<std::vector<uint8_t>> each(2, std::vector<uint8_t>(len, 0));
            std::vector<uint8_t> out(2 * (len + gf16::kWorkingChunk), 0);
            std::vector<uint64_t> matrices;
            for (size_t o = 0; o < 2; ++o)
                for (size_t k = 0; k < n; ++k) {
                    const size_t f = (k + o) % n;
                    matrices.insert(matrices.end(), products[f].affine, products[f].affine + 4);
                    gf16::MulAddPortable(factors[f], src.data() + k, each[o].data(), len);
                }
            uint8_t* dsts[2] = {out.data(), out.data() + len + gf16::kWorkingChunk};
            path.sumIntoEach(matrices.data(), srcs.data(), n, dsts, 2, gf16::kWorkingChunk, len, true);
            for (size_t o = 0; o < 2; ++o) {
                uint8_t* d = dsts[o] + gf16::kWorkingChunk;
                path.fromWorking(d, d, len);
                ASSERT_EQ(std::vector<uint8_t>(d, d + len), each[o]) << path.name << " summing " << n << " inputs";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, Gf16MulAddPath, testing::ValuesIn(gf16::kMulAddPaths), PathName<gf16::MulAddPath>);
INSTANTIATE_TEST_SUITE_P(EveryPath, Gf16WorkingPath, testing::ValuesIn(gf16::kWorkingPaths),
                         PathName<gf16::WorkingPath>);

// Sums over several blocks with a ragged end, from inputs in either layout, against the oracle: few
// outputs, and enough inputs and outputs to take the short runs, several of them per block.
TEST(Gf16, ProductSumsMatchTheOracle) {
    std::mt19937 rng(3);
    const size_t len = 2 * gf16::kSumBlock + 1000, working = gf16::WorkingSize(len);
    for (const auto& [inputs, outputs] : {std::pair<size_t, size_t>{3, 2}, {41, 5}}) {
        std::vector<std::vector<uint8_t>> in(inputs, std::vector<uint8_t>(len)), inWorking(inputs),
            want(outputs, std::vector<uint8_t>(len, 0));
        std::vector<uint16_t> factors(inputs * outputs);
        for (auto& f : factors)
            f = static_cast<uint16_t>(rng());
        for (size_t i = 0; i < inputs; ++i) {
            for (auto& b : in[i])
                b = static_cast<uint8_t>(rng());
            for (size_t o = 0; o < outputs; ++o)
                gf16::MulAddPortable(factors[o * inputs + i], in[i].data(), want[o].data(), len);
            inWorking[i] = in[i];
            inWorking[i].resize(working, 0);
            gf16::ToWorking(inWorking[i].data(), inWorking[i].data(), working);
        }
        const gf16::ProductSums sums(inputs, outputs, factors);
        for (bool fromWorking : {false, true}) {
            std::vector<std::vector<uint8_t>> out(outputs, std::vector<uint8_t>(working, 0));
            std::vector<const uint8_t*> from;
            for (const auto& v : fromWorking ? inWorking : in)
                from.push_back(v.data());
            std::vector<uint8_t*> to;
            for (auto& v : out)
                to.push_back(v.data());
            sums.Add(from.data(), to.data(), len, fromWorking);
            for (size_t o = 0; o < outputs; ++o) {
                gf16::FromWorking(out[o].data(), out[o].data(), working);
                out[o].resize(len);
                EXPECT_EQ(out[o], want[o]) << inputs << " inputs, output " << o
                                           << (fromWorking ? " from the working layout" : "");
            }
        }
    }
}
