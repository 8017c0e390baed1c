// Piece sizes, header and catstub image placement, and byte identity with the
// one-byte-at-a-time split.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "split/chunk_schedule.h"
#include "split_test_support.h"
#include "tests/support/golden_sets.h"

namespace {

constexpr int64_t kFloppy = 1457664;

std::vector<size_t> SizesOf(const std::vector<std::pair<std::string, std::string>>& pieces) {
    std::vector<size_t> sizes;
    for (const auto& piece : pieces)
        sizes.push_back(piece.second.size());
    return sizes;
}

} // namespace

TEST(PieceCount, FollowsFromPrefixFileSizeAndSplitSize) {
    struct Case {
        uint64_t prefix, fileSize;
        int64_t splitSize;
        uint64_t expected;
    } cases[] = {
        {0, 0, 10, 0},       // nothing to write
        {18, 0, 10, 1},      // header alone still makes piece 000
        {0, 2500, 1000, 3},  // 1000/1000/500
        {17, 2500, 1000, 3}, // 983+17/1000/517
        {0, 2000, 1000, 2},  // exact multiple: no empty third piece
        {17, 1983, 1000, 2}, // prefix and data add up to 2 x S
        {0, 1, 1, 1},
        {0, 10000, 10, 1000},                 // the largest set
        {0, 10001, 10, 1001},                 // one too many
        {45056 + 17, 5000000, 45056 + 17, 1}, // image and header fill the split size
        {45056 + 17, 5000000, 100, 1},        // ... or more than fill it
        {0, 5000, 0, 1},                      // no positive split size: one piece
        {0, 5000, -7, 1},
        {0, (5ull << 32) + 1, 1ll << 32, 6}, // 64-bit sizes
        {0, UINT64_MAX, INT64_MAX, 3},       // no overflow at the top
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountPieces(c.prefix, c.fileSize, c.splitSize), c.expected)
            << "prefix " << c.prefix << ", file " << c.fileSize << ", split size " << c.splitSize;
}

using SplitLayout = SplitFolder;

TEST_F(SplitLayout, OneByteOverAFloppyWithAndWithoutHeader) {
    const std::string data = TestBytes(kFloppy + 1);
    SplitRun plain = RunSplit(dir, "big.bin", data, kFloppy, false);
    EXPECT_EQ(plain.result.end, SplitEnd::Done);
    EXPECT_EQ(SizesOf(PiecesIn(dir, false)), (std::vector<size_t>{1457664, 1}));
    EXPECT_EQ(dir.Read("_Split#000") + dir.Read("_Split#001"), data) << "without header the pieces are the file";

    RemovePieces();
    const std::string crc = CrcTextOf(data);
    const std::string name = NameForHeaderLength(crc, 17);
    SplitRun headed = RunSplit(dir, name, data, kFloppy, true);
    EXPECT_EQ(headed.result.end, SplitEnd::Done);
    EXPECT_EQ(headed.result.piecesWritten, 2);
    const auto pieces = PiecesIn(dir, false);
    EXPECT_EQ(SizesOf(pieces), (std::vector<size_t>{1457664, 18}));
    EXPECT_EQ(pieces[0].second.substr(0, 17), crc + "#" + name + ";");
    EXPECT_EQ(pieces[0].second.substr(17) + pieces[1].second, data) << "1457647 data bytes, then 18";
    EXPECT_TRUE(headed.messenger.told.empty());
}

TEST_F(SplitLayout, ExactMultipleLeavesNoEmptyPiece) {
    SplitRun run = RunSplit(dir, "big.bin", TestBytes(2 * kFloppy), kFloppy, false);
    EXPECT_EQ(run.result.end, SplitEnd::Done);
    EXPECT_EQ(run.result.piecesWritten, 2) << "the third piece is never created";
    EXPECT_EQ(SizesOf(PiecesIn(dir, false)), (std::vector<size_t>{1457664, 1457664}));
    EXPECT_FALSE(dir.Exists("_Split#002"));

    RemovePieces();
    const std::string data = TestBytes(2 * 1000 - 17);
    RunSplit(dir, NameForHeaderLength(CrcTextOf(data), 17), data, 1000, true);
    EXPECT_EQ(SizesOf(PiecesIn(dir, false)), (std::vector<size_t>{1000, 1000})) << "header and data make 2 x S";
}

TEST_F(SplitLayout, ThousandBytePiecesOfA2500ByteFile) {
    const std::string data = TestBytes(2500);
    RunSplit(dir, "big.bin", data, 1000, false);
    EXPECT_EQ(SizesOf(PiecesIn(dir, false)), (std::vector<size_t>{1000, 1000, 500}));

    RemovePieces();
    const std::string crc = CrcTextOf(data);
    RunSplit(dir, NameForHeaderLength(crc, 17), data, 1000, true);
    const auto pieces = PiecesIn(dir, false);
    ASSERT_EQ(SizesOf(pieces), (std::vector<size_t>{1000, 1000, 517}));
    EXPECT_EQ(pieces[0].second.substr(17), data.substr(0, 983)) << "983 data bytes follow the header";
    EXPECT_EQ(pieces[1].second, data.substr(983, 1000));
    EXPECT_EQ(pieces[2].second, data.substr(1983));
}

TEST_F(SplitLayout, SelfCatenatingFirstPieceCarriesImageHeaderAndData) {
    const std::string stub = FakeStubImage(45056);
    const std::string data = TestBytes(2000000);
    const std::string crc = CrcTextOf(data);
    const std::string name = NameForHeaderLength(crc, 17);
    SplitRun run = RunSplit(dir, name, data, kFloppy, false, &stub);
    EXPECT_EQ(run.result.end, SplitEnd::Done);
    EXPECT_FALSE(dir.Exists("_Split#000")) << "the first piece is only the .exe";
    const auto pieces = PiecesIn(dir, true);
    ASSERT_EQ(SizesOf(pieces), (std::vector<size_t>{1457664, 2000000 - 1412591}));
    const std::string& first = pieces[0].second;
    EXPECT_EQ(first.substr(0, 45056), stub);
    EXPECT_EQ(first.substr(45056, 17), crc + "#" + name + ";") << "a self-catenating set always has a header";
    EXPECT_EQ(first.substr(45056 + 17), data.substr(0, 1412591));
    EXPECT_EQ(pieces[1].second, data.substr(1412591));
}

TEST_F(SplitLayout, SelfCatenatingWithSplitSizeWithinImageAndHeaderIsRefused) {
    const std::string stub = FakeStubImage(45056);
    const std::string data = TestBytes(300000);
    const std::string name = NameForHeaderLength(CrcTextOf(data), 17);
    SplitRun run = RunSplit(dir, name, data, 45056 + 17, true, &stub);
    EXPECT_EQ(run.result.end, SplitEnd::Refused);
    ASSERT_EQ(run.messenger.told.size(), 1u);
    ASSERT_EQ(run.messenger.told[0].Kind(), OutcomeKind::SelfCatenateTooSmall);
    const auto& tooSmall = run.messenger.told[0].As<told::SelfCatenateTooSmall>();
    EXPECT_EQ((std::vector<uint64_t>{tooSmall.splitSize, tooSmall.stubBytes, tooSmall.headerBytes}),
              (std::vector<uint64_t>{45073, 45056, 17}));
    EXPECT_FALSE(dir.Exists("_Split#000.exe")) << "no single huge piece";

    SplitRun smallest = RunSplit(dir, name, data, 45056 + 18, true, &stub);
    EXPECT_EQ(smallest.result.end, SplitEnd::Done);
    const auto pieces = PiecesIn(dir, true);
    ASSERT_EQ(pieces.size(), 8u);
    EXPECT_EQ(pieces[0].second.substr(45056 + 17), data.substr(0, 1)) << "one data byte in the first piece";
}

TEST_F(SplitLayout, MissingCrcIsTakenWhileCopyingAndWrittenIntoTheHeader) {
    const std::string data = TestBytes(5000);
    SplitRun run = RunSplit(dir, "big.bin", data, 1000, true, nullptr, "");
    EXPECT_EQ(run.result.end, SplitEnd::Done);
    EXPECT_EQ(dir.Read("_Split#000").substr(0, 17), CrcTextOf(data) + "#big.bin;");
}

TEST_F(SplitLayout, ProgressIsReportedWhileCopying) {
    SplitRun run = RunSplit(dir, "big.bin", TestBytes(3 * kFloppy), kFloppy, false);
    EXPECT_GE(run.progressCalls, 3) << "at least once per piece";
}

// The engine must write exactly what the byte loop writes, whatever the sizes.
TEST_F(SplitLayout, MatchesTheByteLoopOnManySmallCases) {
    std::mt19937 gen(20240601);
    const std::string stub = FakeStubImage(61);
    int cases = 0;
    for (int i = 0; i < 300; ++i) {
        const size_t fileSize = gen() % 4000;
        const int64_t splitSize = 1 + static_cast<int64_t>(gen() % (i % 3 == 0 ? 40 : 2500));
        const int kind = static_cast<int>(gen() % 3); // 0: plain, 1: header, 2: self-catenating
        const std::string data = TestBytes(fileSize, static_cast<uint32_t>(i));
        const std::string name = "f" + std::to_string(gen() % 100000) + ".dat";
        const std::string prefix =
            (kind == 2 ? stub : std::string()) + (kind == 0 ? std::string() : CrcTextOf(data) + "#" + name + ";");
        const ReferenceSet expected = ByteLoopSplit(data, prefix, splitSize);
        // A first piece without room for its longest header and data is refused; its own tests cover that.
        if (kind != 0 && splitSize <= static_cast<int64_t>(prefix.size()) + 8)
            continue;
        if (expected.refused || expected.pieces.size() > 200)
            continue; // too many pieces to compare cheaply; the limit has its own tests
        ++cases;
        RemovePieces();
        SplitRun run = RunSplit(dir, name, data, splitSize, kind == 1, kind == 2 ? &stub : nullptr);
        const std::string what = "file " + std::to_string(fileSize) + ", split size " + std::to_string(splitSize) +
                                 ", kind " + std::to_string(kind);
        ASSERT_EQ(run.result.end, SplitEnd::Done) << what;
        const auto pieces = PiecesIn(dir, kind == 2);
        ASSERT_EQ(pieces.size(), expected.pieces.size()) << what;
        EXPECT_EQ(run.result.piecesWritten, static_cast<int>(pieces.size())) << what;
        for (size_t p = 0; p < pieces.size(); ++p)
            ASSERT_TRUE(pieces[p].second == expected.pieces[p]) << what << ": " << pieces[p].first << " differs";
        EXPECT_FALSE(dir.Exists(PieceName(static_cast<int>(pieces.size())))) << what;
    }
    EXPECT_GT(cases, 150) << "most random cases should be compared";
}

TEST_F(SplitLayout, TheGoldenFileSplitsIntoTheGoldenSets) {
    const auto bytesOf = [](const std::vector<std::pair<std::string, std::string>>& pieces) {
        std::vector<std::string> bytes;
        for (const auto& piece : pieces)
            bytes.push_back(piece.second);
        return bytes;
    };
    RunSplit(dir, golden::kName, golden::kData, golden::kSplitSize, true);
    EXPECT_EQ(golden::kHeaderSet, bytesOf(PiecesIn(dir, false)));

    RemovePieces();
    RunSplit(dir, golden::kName, golden::kData, golden::kSplitSize, false);
    EXPECT_EQ(golden::kNoCrcSet, bytesOf(PiecesIn(dir, false)));

    RemovePieces();
    const std::string stub = FakeStubImage(45056);
    RunSplit(dir, golden::kName, golden::kData, golden::kSelfCatenatingSplitSize, true, &stub);
    const std::vector<std::string> pieces = bytesOf(PiecesIn(dir, true));
    ASSERT_EQ(2u, pieces.size());
    EXPECT_TRUE(pieces[0] == stub + golden::kSelfCatenatingAfterImage) << "the image, then the golden bytes";
    EXPECT_EQ(golden::kSelfCatenatingSecondPiece, pieces[1]);
}

// Pieces in flight go in even groups; a first piece the listener takes only at the end joins the first
// group beside a full share, so that every group splits evenly between the listener's lanes.
TEST(ChunkOrder, AFirstPieceLeftForTheEndGoesBesideTheFirstGroup) {
    std::vector<PlannedPiece> pieces(9);
    for (size_t n = 0; n < pieces.size(); ++n)
        pieces[n] = {"p", 10, 10 * n};
    for (const auto& [apart, ends] :
         {std::pair<bool, std::vector<uint32_t>>{false, {3, 6, 9}}, {true, {5, 9}}}) {
        ChunkSchedule order(pieces, 0, 4, apart, [](uint64_t at) { return at + 4; }, 100);
        std::vector<uint32_t> seen;
        for (ChunkStep step; order.Next(step);)
            if (seen.empty() || seen.back() != step.groupEnd)
                seen.push_back(step.groupEnd);
        EXPECT_EQ(seen, ends) << (apart ? "first piece apart" : "every piece taken");
    }
}
