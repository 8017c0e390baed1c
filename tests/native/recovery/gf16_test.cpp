#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "recovery/gf16.h"

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
