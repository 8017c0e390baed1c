// The CRC-32 paths as the Windows builds run them: processor detection, the folding paths
// against the bytewise reference, and a file measured through the Win32 back end.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "core/crc32.h"
#include "core/crc32_job.h"
#include "tests/support/crc_paths.h"
#include "tests/support/path_test.h"
#include "tests/support/temp_dir.h"

namespace {

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

// Under Wine the host's processor description is reachable as a Unix path;
// on Windows itself it is absent and the compiler's own detection is all we have.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool HostListsFlag(const std::string& text, const std::string& flag) {
    return text.find(" " + flag + " ") != std::string::npos || text.find(" " + flag + "\n") != std::string::npos;
}

} // namespace

TEST(Crc32Windows, FoldingPathsAreDetectedExactlyWhereTheProcessorHasThem) {
    __builtin_cpu_init();
    // The compiler's detection also asks the system whether it saves the AVX-512 registers.
    const bool compilerSeesPclmul = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    const bool compilerSeesWide = compilerSeesPclmul && __builtin_cpu_supports("avx2") &&
                                  __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
    EXPECT_EQ(compilerSeesPclmul, HasPclmul()) << "the compiler's CPU detection says " << compilerSeesPclmul;
    EXPECT_EQ(compilerSeesWide, HasVpclmul()) << "the compiler's CPU detection says " << compilerSeesWide;

    if (!UnderWine())
        return;
    std::ifstream cpuinfo("Z:\\proc\\cpuinfo");
    ASSERT_TRUE(cpuinfo.good()) << "the host's Z:\\proc\\cpuinfo cannot be read";
    const std::string text((std::istreambuf_iterator<char>(cpuinfo)), {});
    const std::string::size_type flagsLine = text.find("flags");
    ASSERT_NE(std::string::npos, flagsLine) << "no flags line in the host's cpuinfo";
    const std::string flags = text.substr(flagsLine, text.find('\n', flagsLine) - flagsLine + 1);
    const bool hostHasPclmul = HostListsFlag(flags, "pclmulqdq") && HostListsFlag(flags, "sse4_1");
    const bool hostHasWide = hostHasPclmul && HostListsFlag(flags, "avx2") && HostListsFlag(flags, "avx512f") &&
                             HostListsFlag(flags, "vpclmulqdq");
    EXPECT_EQ(hostHasPclmul, HasPclmul()) << "host flags: " << flags;
    EXPECT_EQ(hostHasWide, HasVpclmul()) << "host flags: " << flags;
}

using Crc32WindowsPath = PathTest<CrcPath>;

TEST_P(Crc32WindowsPath, EqualsTheReferenceOnRandomLengthsAndAlignments) {
    const std::string data = TestBytes(200000, 21);
    std::mt19937 gen(5);
    for (int round = 0; round < 900; ++round) {
        const size_t offset = gen() % 64;
        const size_t len = round < 600 ? static_cast<size_t>(round) : gen() % (data.size() - 64);
        const uint32_t seed = round % 3 == 0 ? 0xFFFFFFFFu : gen();
        ASSERT_EQ(Crc32Bytewise(seed, Bytes(data) + offset, len), GetParam().run(seed, Bytes(data) + offset, len))
            << "len " << len << " offset " << offset;
    }
}

INSTANTIATE_EVERY_PATH(Crc32WindowsPath, CrcPath, kFoldingPaths);

TEST(Crc32Windows, ChainedUpdatesOfOddSizesEqualOneRun) {
    const std::string data = TestBytes(1 << 20, 22);
    const uint32_t want = ~Crc32Bytewise(0xFFFFFFFFu, Bytes(data), data.size());
    std::mt19937 gen(6);
    for (int round = 0; round < 20; ++round) {
        Crc32 crc;
        size_t done = 0;
        uint32_t last = 0;
        while (done < data.size()) {
            size_t step = gen() % (round < 10 ? 300 : 70000) + 1;
            if (step > data.size() - done)
                step = data.size() - done;
            last = crc.Update(data.data() + done, static_cast<uint32_t>(step), true);
            done += step;
        }
        ASSERT_EQ(want, last) << "round " << round;
    }
}

TEST(Crc32Windows, FileCrcOfTheCheckDigitsAndOfALargeFile) {
    TempDir dir;
    dir.Write("digits", "123456789");
    EXPECT_EQ(0xCBF43926u, MeasureFileCrc(dir.File("digits"), {}).crc);

    const std::string big = TestBytes(5 * 1024 * 1024 + 13, 23);
    dir.Write("big", big);
    EXPECT_EQ(~Crc32Bytewise(0xFFFFFFFFu, Bytes(big), big.size()), MeasureFileCrc(dir.File("big"), {}).crc);
}
