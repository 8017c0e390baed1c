#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "recovery/gf16.h"
#include "recovery/gf16_paths.h"
#include "recovery/md5_lanes.h"
#include "recovery/product_sums.h"

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
    if (gfni || avx512bw)
        EXPECT_STREQ(gfni && avx512bw ? "avx512-gfni" : gfni ? "gfni" : "avx512bw", gf16::MulAddPathName());
}

// Every path this processor has, against the oracle: random factors (0 and 1 among them), lengths
// across the vector widths' tails, and source and destination misaligned independently.
TEST(Gf16, EveryMulAddPathMatchesThePortableOne) {
    std::mt19937 rng(5);
    std::vector<uint8_t> src(70000), dst(70000);
    for (auto& b : src)
        b = static_cast<uint8_t>(rng());
    int ran = 0;
    for (const gf16::MulAddPath& path : gf16::kMulAddPaths) {
        if (!path.available())
            continue;
        ++ran;
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
    EXPECT_GE(ran, 1);
}

// The working layout per path: its conversions give the portable one's bytes and invert each other, and
// its multiply-and-add and its sums, between the conversions, are the oracle's; random factors, lengths
// and offsets.
TEST(Gf16, EveryWorkingLayoutPathMatchesThePortableOne) {
    std::mt19937 rng(9);
    std::vector<uint8_t> src(40000 + 64), dst(40000 + 64);
    for (auto& b : src)
        b = static_cast<uint8_t>(rng());
    for (const gf16::MulAddPath& path : gf16::kMulAddPaths) {
        if (!path.available())
            continue;
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
        std::vector<const uint8_t*> srcs;
        for (size_t k = 0; k < count; ++k) {
            const uint16_t factor = static_cast<uint16_t>(k == 0 ? 0 : rng());
            gf16::MulAddPortable(factor, src.data() + k, want.data(), len);
            gf16::PrepareProducts(factor, products[k]);
            path.toWorking(src.data() + k, working.data() + k * len, len);
            srcs.push_back(working.data() + k * len);
        }
        path.sumWorking(products.data(), srcs.data(), count, sum.data(), len);
        path.fromWorking(sum.data(), sum.data(), len);
        ASSERT_EQ(sum, want) << path.name << " summing " << count << " inputs";
    }
}

// Sums over several blocks with a ragged end, from inputs in either layout, against the oracle.
TEST(Gf16, ProductSumsMatchTheOracle) {
    std::mt19937 rng(3);
    const size_t len = 2 * gf16::kSumBlock + 1000, working = gf16::WorkingSize(len);
    const size_t inputs = 3, outputs = 2;
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
            EXPECT_EQ(out[o], want[o]) << "output " << o << (fromWorking ? " from the working layout" : "");
        }
    }
}

// Messages of every length around the padding's edges and a few longer, each cut at a random place
// into its two parts, more of them than any path has lanes, so lanes change messages at different times.
TEST(Md5Lanes, EveryPathMatchesThePlatformsMd5) {
    std::mt19937 rng(5);
    std::vector<uint8_t> bytes(9000);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(rng());
    std::vector<Md5Message> messages;
    for (size_t len : {0, 1, 55, 56, 63, 64, 65, 119, 120, 128, 4096, 8999}) {
        for (int k = 0; k < 2; ++k) {
            const size_t head = len == 0 ? 0 : rng() % (len + 1);
            const size_t from = rng() % (bytes.size() - len + 1);
            messages.push_back({bytes.data() + from, head, bytes.data() + from + head, len - head});
        }
    }
    std::vector<Md5Digest> want(messages.size()), got(messages.size());
    for (size_t i = 0; i < messages.size(); ++i) {
        Md5 md5;
        md5.Update(messages[i].head, messages[i].headLen);
        md5.Update(messages[i].tail, messages[i].tailLen);
        want[i] = md5.Final();
    }
    // And streams riding along, fed in parts that leave partial blocks between calls: some long enough
    // to ride whole, one too short to, one empty.
    const size_t parts[][2] = {{8999, 0}, {3, 5000}, {4000, 4999}, {70, 0}, {0, 0}};
    std::vector<Md5Digest> streamWant;
    for (const auto& p : parts) {
        Md5 md5;
        md5.Update(bytes.data(), p[0]);
        md5.Update(bytes.data() + p[0], p[1]);
        streamWant.push_back(md5.Final());
    }
    for (const md5lanes::Path& path : md5lanes::kPaths) {
        if (!path.available())
            continue;
        std::fill(got.begin(), got.end(), Md5Digest{});
        std::vector<Md5Stream> streams(std::size(parts));
        for (int call = 0; call < 2; ++call) {
            std::vector<Md5Along> along;
            for (size_t k = 0; k < streams.size(); ++k)
                along.push_back({&streams[k], bytes.data() + (call ? parts[k][0] : 0), parts[k][call]});
            path.run(messages.data(), call ? messages.size() : 5, got.data(), along.data(), along.size());
        }
        EXPECT_EQ(got, want) << path.name;
        for (size_t k = 0; k < streams.size(); ++k)
            EXPECT_EQ(streams[k].Final(), streamWant[k]) << path.name << " stream " << k;
    }
}
