// The split as a long job: its progress, a stop part way, and the single read
// that writes the header's CRC after the data, whatever its digit count.
#include <gtest/gtest.h>

#include "split_test_support.h"

namespace {

using SplitJobTest = SplitFolder;

} // namespace

TEST_F(SplitJobTest, ProgressRisesToTheFileSizeAndReachesItOnce) {
    const std::string data = TestBytes(5 << 20);
    dir.Write("big.bin", data);
    SplitJob job;
    job.largeFile = dir.File("big.bin");
    job.splitSize = 1 << 20;
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    RecordingMessenger messenger;
    const SplitResult result = SplitLargeFile(job, messenger, [&](uint64_t done, uint64_t total) {
        calls.emplace_back(done, total);
        return true;
    });
    ASSERT_EQ(result.end, SplitEnd::Done);
    EXPECT_EQ(result.crcText, CrcTextOf(data)) << "the CRC is taken while the pieces are written";
    ASSERT_GE(calls.size(), 5u);
    int atTotal = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].second, data.size());
        if (i > 0) {
            EXPECT_GE(calls[i].first, calls[i - 1].first) << "call " << i;
        }
        atTotal += calls[i].first == calls[i].second;
    }
    EXPECT_EQ(atTotal, 1);
    EXPECT_EQ(calls.back().first, data.size());
}

TEST_F(SplitJobTest, StopDeletesThePiecesOfThisRunAndSaysSo) {
    dir.Write("big.bin", TestBytes(6 << 20));
    SplitJob job;
    job.largeFile = dir.File("big.bin");
    job.splitSize = 1 << 20;
    RecordingMessenger messenger;
    const SplitResult result =
        SplitLargeFile(job, messenger, [](uint64_t done, uint64_t) { return done < (3u << 20); });
    EXPECT_EQ(result.end, SplitEnd::Stopped);
    EXPECT_TRUE(PiecesIn(dir, false).empty()) << "no piece is left behind";
    EXPECT_TRUE(dir.Exists("big.bin"));
    ASSERT_EQ(messenger.told.size(), 1u);
    EXPECT_EQ(messenger.told[0].Kind(), OutcomeKind::SplitStopped);
}

TEST_F(SplitJobTest, OneReadWritesTheSamePiecesAsAMeasuredSplitForEveryCrcLength) {
    for (int digits = 1; digits <= 8; ++digits) {
        const uint32_t crc = (1u << (4 * (digits - 1))) | 0x5u;
        // 17 header bytes + 2084 data bytes = 3 x 700 + 1: a shorter CRC leaves one piece fewer.
        const std::string data = WithCrc(TestBytes(2080, digits), crc);
        ASSERT_EQ(CrcTextOf(data).size(), static_cast<size_t>(digits));
        for (const bool selfCatenating : {false, true}) {
            const std::string stub = FakeStubImage(300);
            const std::string* image = selfCatenating ? &stub : nullptr;
            RunSplit(dir, "big.bin", data, 700, true, image);
            const auto measured = PiecesIn(dir, selfCatenating);
            RemovePieces();
            const SplitRun once = RunSplit(dir, "big.bin", data, 700, true, image, "");
            EXPECT_EQ(once.result.end, SplitEnd::Done);
            EXPECT_EQ(once.result.crcText, CrcTextOf(data));
            EXPECT_EQ(PiecesIn(dir, selfCatenating), measured) << digits << " digits";
            EXPECT_FALSE(dir.Exists(PieceName(static_cast<int>(measured.size())))) << "no stale last piece";
            RemovePieces();
        }
    }
}
