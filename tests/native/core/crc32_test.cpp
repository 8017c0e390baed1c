// CRC-32: check values, the fast paths against the bytewise oracle, files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "core/cpu_state.h"
#include "core/crc32.h"
#include "core/crc32_fold.h"
#include "core/crc32_job.h"
#include "core/piece_header.h"
#include "tests/support/crc_paths.h"
#include "tests/support/path_test.h"
#include "tests/support/temp_dir.h"

namespace {

uint32_t Oracle(const std::string& s) {
    return ~Crc32Bytewise(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

uint32_t ObjectCrc(const std::string& s) {
    Crc32 crc;
    return crc.Update(s.data(), static_cast<uint32_t>(s.size()), true);
}

} // namespace

TEST(Crc32, KnownCheckValues) {
    EXPECT_EQ(0xCBF43926u, ObjectCrc("123456789"));
    EXPECT_EQ(0x352441C2u, ObjectCrc("abc"));
    EXPECT_EQ(0x02FFE8C3u, ObjectCrc("floppy"));
    EXPECT_EQ("CBF43926", CrcText(0xCBF43926u));
    EXPECT_EQ("2FFE8C3", CrcText(0x02FFE8C3u));
    EXPECT_EQ("0", CrcText(0));
    EXPECT_EQ(0xCBF43926u, Oracle("123456789"));
}

TEST(Crc32, UpdateWithNothingFedReturnsZeroAndKeepsTheRegister) {
    Crc32 crc;
    crc.Update("abc", 3, true);
    EXPECT_EQ(0u, crc.Update("x", 0, true));
    EXPECT_EQ(0u, crc.Update("x", 0, false));
    EXPECT_EQ(0u, crc.Update(nullptr, 5, false));
    EXPECT_EQ(0x352441C2u, crc.Value());
}

TEST(Crc32, ChainedUpdatesEqualOneUpdateAndRestartResets) {
    const std::string data = TestBytes(10000, 7);
    Crc32 crc;
    crc.Update(data.data(), 1, true);
    crc.Update(data.data() + 1, 4000, true);
    EXPECT_EQ(Oracle(data), crc.Update(data.data() + 4001, 10000 - 4001, true));
    EXPECT_EQ(0x352441C2u, crc.Update("abc", 3, false));
    Crc32 fresh;
    EXPECT_EQ(0u, ~fresh.Value() ^ 0xFFFFFFFFu) << "a new object starts with the register at 0xFFFFFFFF";
}

namespace {

// Every path the program may take: the table path and the folding ones.
const CrcPath kPaths[] = {
    {"slice16", Crc32Slice16, AlwaysAvailable},
    kFoldingPaths[0],
    kFoldingPaths[1],
    kFoldingPaths[2],
};

using Crc32Path = PathTest<CrcPath>;

} // namespace

TEST_P(Crc32Path, EqualsTheOracleOnRandomLengthsAndAlignments) {
    const std::string data = TestBytes(70000, 3);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    std::mt19937 gen(11);
    for (int round = 0; round < 700; ++round) {
        const size_t offset = gen() % 64;
        const size_t len = round < 600 ? round : gen() % (data.size() - 64);
        const uint32_t seed = gen();
        ASSERT_EQ(Crc32Bytewise(seed, bytes + offset, len), GetParam().run(seed, bytes + offset, len))
            << "len " << len << " offset " << offset;
    }
}

TEST_P(Crc32Path, HandlesEveryStepBoundaryAndExtremeRegisters) {
    // Room for the longest length (4096 + 64) at the largest offset (63).
    const std::string data = TestBytes(4096 + 128, 9);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    // Around the 16-, 64-, 128- and 256-byte steps, where the loops hand over.
    for (size_t step : {16, 64, 128, 256, 512, 1024, 4096})
        for (size_t len : {step - 1, step, step + 1, step + 15, step + 16, step + 63, step + 64})
            for (uint32_t seed : {0u, 0xFFFFFFFFu, 0x80000000u, 1u})
                for (size_t offset : {0, 1, 8, 15, 63}) {
                    ASSERT_EQ(Crc32Bytewise(seed, bytes + offset, len), GetParam().run(seed, bytes + offset, len))
                        << "len " << len << " seed " << seed << " offset " << offset;
                }
    // All-ones and all-zero data drive every term of the products.
    const std::string ones(1000, '\xFF');
    const std::string zeros(1000, '\0');
    for (const std::string* s : {&ones, &zeros}) {
        const auto* p = reinterpret_cast<const uint8_t*>(s->data());
        EXPECT_EQ(Crc32Bytewise(0xFFFFFFFFu, p, s->size()), GetParam().run(0xFFFFFFFFu, p, s->size()));
    }
}

INSTANTIATE_EVERY_PATH(Crc32Path, CrcPath, kPaths);

TEST(Crc32, ZerosByArithmeticEqualZerosFed) {
    const std::vector<uint8_t> zeros(70000, 0);
    for (uint64_t n : {0, 1, 3, 255, 256, 4097, 65543})
        EXPECT_EQ(Crc32Bytewise(0x12345678u, zeros.data(), n), Crc32Zeros(0x12345678u, n)) << n;
}

TEST(Crc32, CombinesPartsAndTakesAPartBack) {
    const std::string text = "the quick brown fox jumps over the lazy dog";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const uint32_t whole = Crc32Bytewise(0xFFFFFFFFu, bytes, text.size());
    for (size_t cut : {size_t{0}, size_t{9}, text.size()}) {
        const uint32_t a = Crc32Bytewise(0xFFFFFFFFu, bytes, cut);
        const uint32_t b = Crc32Bytewise(0xFFFFFFFFu, bytes + cut, text.size() - cut);
        EXPECT_EQ(whole, Crc32Combine(a, b, text.size() - cut)) << cut;
        EXPECT_EQ(b, Crc32Combine(a, whole, text.size() - cut)) << cut;
    }
}

TEST(Crc32, FastPathIsTheWidestThisProcessorHas) {
    const std::string want = HasVpclmul() ? "vpclmul" : HasPclmul() ? "pclmul" : "slice16";
    EXPECT_EQ(want, Crc32FastPathName());
}

TEST(Crc32File, EmptyFileHasTheValidCrcZeroAndMissingFileFails) {
    TempDir dir;
    dir.Write("empty", "");
    dir.Write("digits", "123456789");
    const CrcJobResult empty = MeasureFileCrc(dir.File("empty"), {});
    EXPECT_EQ(CrcJobEnd::Done, empty.end);
    EXPECT_EQ(0u, empty.crc);
    const CrcJobResult digits = MeasureFileCrc(dir.File("digits"), {});
    EXPECT_EQ(CrcJobEnd::Done, digits.end);
    EXPECT_EQ(0xCBF43926u, digits.crc);
    EXPECT_EQ(CrcJobEnd::Failed, MeasureFileCrc(dir.File("missing"), {}).end);
    EXPECT_EQ(CrcJobEnd::Failed, MeasureFileCrc(dir.Path(), {}).end) << "a folder has no CRC";
}

TEST(Crc32File, LargeFileMatchesTheOracle) {
    TempDir dir;
    const std::string data = TestBytes(3 * 1024 * 1024 + 77, 5);
    dir.Write("big", data);
    EXPECT_EQ(Oracle(data), MeasureFileCrc(dir.File("big"), {}).crc);
}

namespace {

// x^n mod P by schoolbook long division in the plain bit order (bit t = x^t),
// a route independent of the reflected shift used by the fast path's constants.
uint32_t PlainPowMod(unsigned n) {
    const uint64_t poly = 0x104C11DB7u;
    uint64_t v = 1;
    for (unsigned i = 0; i < n; ++i) {
        v <<= 1;
        if (v >> 32 & 1)
            v ^= poly;
    }
    return static_cast<uint32_t>(v);
}

// Carry-less product of two polynomials below x^33; its x^64 term falls off.
uint64_t PlainMultiply(uint64_t a, uint64_t b) {
    uint64_t r = 0;
    for (int i = 0; i < 33; ++i)
        if (b >> i & 1)
            r ^= a << i;
    return r;
}

} // namespace

TEST(Crc32Fold, PowersOfXAgreeWithLongDivisionAndWithZeroBytes) {
    for (unsigned n : {0u, 1u, 31u, 32u, 33u, 63u, 95u, 127u, 191u, 511u, 575u}) {
        EXPECT_EQ(crc32fold::Reflect(PlainPowMod(n), 32), crc32fold::XPowMod(n)) << "x^" << n << " mod P";
    }
    // Feeding k zero bytes to a register holding x^0 multiplies it by x^(8k).
    const std::string zeros(80, '\0');
    for (unsigned k : {1u, 4u, 8u, 12u, 16u, 24u, 64u, 72u}) {
        EXPECT_EQ(Crc32Bytewise(0x80000000u, reinterpret_cast<const uint8_t*>(zeros.data()), k),
                  crc32fold::XPowMod(8 * k))
            << k << " zero bytes";
    }
}

TEST(Crc32Fold, ConstantsSitWhereTheMultiplyExpectsThem) {
    using namespace crc32fold;
    // A move by D bits multiplies the low half by x^(D+64) and the high half by x^D.
    const std::pair<FoldPair, unsigned> moves[] = {{kFold2048, 2048}, {kFold1024, 1024}, {kFold512, 512},
                                                   {kFold384, 384},   {kFold256, 256},   {kFold128, 128}};
    for (const auto& [pair, bits] : moves) {
        EXPECT_EQ(uint64_t{Reflect(PlainPowMod(bits + 63), 32)} << 32, pair.low) << "move by " << bits;
        EXPECT_EQ(uint64_t{Reflect(PlainPowMod(bits - 1), 32)} << 32, pair.high) << "move by " << bits;
    }
    EXPECT_EQ(uint64_t{Reflect(PlainPowMod(95), 32)} << 32, kFinish.low);
    EXPECT_EQ(uint64_t{Reflect(PlainPowMod(63), 32)} << 32, kFinish.high);
    EXPECT_EQ(0x1DB710641u, kBarrettPoly) << "P with its x^32 term, reflected over 33 bits";

    // mu = floor(x^64 / P): of degree 32, and mu * P = x^64 + a remainder below x^32.
    const uint64_t mu = BarrettQuotient();
    EXPECT_EQ(1u, mu >> 32) << "mu has degree 32, got 0x" << std::hex << mu;
    const uint64_t product = PlainMultiply(mu, 0x104C11DB7u);
    EXPECT_EQ(0u, product >> 32) << "terms x^32..x^63 of mu * P: 0x" << std::hex << product;
    EXPECT_EQ(Reflect(mu, 33) << 32, kBarrettMu);
}
