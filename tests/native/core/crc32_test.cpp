// CRC-32: check values, the fast paths against the bytewise oracle, files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/crc32.h"
#include "core/piece_header.h"
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

TEST(Crc32, FastPathsEqualTheOracleOnEveryLengthAndAlignment) {
    const std::string data = TestBytes(70000, 3);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    std::mt19937 gen(11);
    for (int round = 0; round < 400; ++round) {
        const size_t offset = gen() % 64;
        const size_t len = round < 300 ? round : gen() % (data.size() - 64);
        const uint32_t seed = gen();
        const uint32_t want = Crc32Bytewise(seed, bytes + offset, len);
        ASSERT_EQ(want, Crc32Slice16(seed, bytes + offset, len)) << "slice-by-16, len " << len;
        ASSERT_EQ(want, Crc32Fast(seed, bytes + offset, len)) << "dispatch, len " << len;
        if (Crc32HavePclmul()) {
            ASSERT_EQ(want, Crc32Pclmul(seed, bytes + offset, len)) << "pclmul, len " << len << " offset " << offset;
        }
    }
}

TEST(Crc32File, EmptyFileHasTheValidCrcZeroAndMissingFileFails) {
    TempDir dir;
    dir.Write("empty", "");
    dir.Write("digits", "123456789");
    Crc32 a;
    EXPECT_EQ(std::optional<uint32_t>(0u), a.FileCrc(dir.File("empty").c_str()));
    Crc32 b;
    EXPECT_EQ(std::optional<uint32_t>(0xCBF43926u), b.FileCrc(dir.File("digits").c_str()));
    Crc32 c;
    EXPECT_FALSE(c.FileCrc(dir.File("missing").c_str()).has_value());
    Crc32 d;
    EXPECT_FALSE(d.FileCrc(dir.Path().c_str()).has_value()) << "a folder has no CRC";
}

TEST(Crc32File, LargeFileMatchesTheOracle) {
    TempDir dir;
    const std::string data = TestBytes(3 * 1024 * 1024 + 77, 5);
    dir.Write("big", data);
    Crc32 crc;
    EXPECT_EQ(std::optional<uint32_t>(Oracle(data)), crc.FileCrc(dir.File("big").c_str()));
}
