// The recovery files a split writes, checked by par2cmdline: it accepts them, and it rebuilds lost and
// damaged pieces from them, also when the header's CRC turns out short (the pieces are written again),
// when memory holds only part of the recovery data, and for a self-catenating first piece.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/wait.h>

#include "core/progress_meter.h"
#include "recovery/md5.h"
#include "recovery/par2_format.h"
#include "recovery/recovery_plan.h"
#include "recovery/recovery_writer.h"
#include "split/split_recovery.h"
#include "split_test_support.h"

namespace {

int Par2(const std::string& args) {
    const int status = std::system(("par2 " + args + " -qq '_Split#.par2' >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> RecoveryFilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Native(".")))
        if (IsRecoveryFileName(entry.path().filename().string().c_str(), entry.path().filename().string().size()))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SplitRecoveryTest : public SplitFolder {
protected:
    // Splits data (CRC taken while writing) with recovery files restoring `restore` pieces.
    SplitResult Split(const std::string& data, int64_t splitSize, uint32_t restore, uint64_t memory,
                      const std::string* stub = nullptr, const ProgressCallback& progress = {}) {
        dir.Write("big.bin", data);
        writer.emplace(dir.File("big.bin"), splitSize, RecoveryRequest{false, restore}, memory);
        SplitJob job;
        job.largeFile = dir.File("big.bin");
        job.splitSize = splitSize;
        if (stub) {
            job.stubImage = reinterpret_cast<const uint8_t*>(stub->data());
            job.stubSize = stub->size();
        }
        job.observer = &*writer;
        return SplitLargeFile(job, messenger, progress);
    }

    // Deletes `lost`, flips a byte in `damaged`, has par2 repair them and compares with the originals.
    void ExpectRepaired(const std::vector<std::string>& lost, const std::string& damaged) {
        std::vector<std::pair<std::string, std::string>> originals;
        for (const std::string& name : lost) {
            originals.emplace_back(name, dir.Read(name));
            std::filesystem::remove(dir.Native(name));
        }
        std::string bytes = dir.Read(damaged);
        originals.emplace_back(damaged, bytes);
        bytes[bytes.size() / 2] ^= 0x40;
        dir.Write(damaged, bytes);
        EXPECT_EQ(Par2("r -p"), 0);
        for (const auto& [name, original] : originals)
            EXPECT_TRUE(dir.Read(name) == original) << name << " not rebuilt";
    }

    std::optional<RecoveryWriter> writer;
    RecordingMessenger messenger;
};

} // namespace

TEST_F(SplitRecoveryTest, Par2RepairsPiecesOfASetWrittenTwiceForAShortCrc) {
    const std::string data = WithCrc(TestBytes(3000000, 4), 0x00ABCDEF); // "ABCDEF": the pieces are rewritten
    ASSERT_EQ(Split(data, 200000, 3, kDefaultRecoveryMemory).end, SplitEnd::Done);
    EXPECT_EQ(writer->Outcome().bytesReread, 0u); // the second pass's header is final: its first piece's ID is known
    EXPECT_EQ(writer->Outcome().piecesRestored, 3u);
    EXPECT_EQ(writer->Outcome().files, RecoveryFilesIn(dir).size());
    // The Creator packet names this Fendrik, for PAR2 programs that show who wrote a set.
    EXPECT_TRUE(std::regex_match(std::string(CreatorText()), std::regex("Fendrik [0-9]+\\.[0-9]+\\.[0-9]+")));
    EXPECT_NE(dir.Read("_Split#.par2").find(std::string(CreatorText())), std::string::npos);
    EXPECT_EQ(Par2("v"), 0);
    ExpectRepaired({"_Split#000", "_Split#007"}, "_Split#011");
}

// More pieces than go in flight at once, and slices large enough to go to the sums in chunks: each piece's
// and each slice's checksums still come out of its chunks in order.
TEST_F(SplitRecoveryTest, PiecesWrittenSideBySideInChunksAreVerifiedAndRebuilt) {
    const std::string data = TestBytes(18 * 2400000 - 12345, 5);
    const SplitResult result = Split(data, 2400000, 2, kDefaultRecoveryMemory);
    ASSERT_EQ(result.end, SplitEnd::Done);
    EXPECT_EQ(result.crcText, CrcTextOf(data)) << "the file's CRC-32, combined from the pieces'";
    EXPECT_EQ(Par2("v"), 0);
    ExpectRepaired({"_Split#016"}, "_Split#003");
}

// With many recovery slices the middle of the order, whose place waits on the first piece's ID, is summed
// only when read back at the end: the set is still right.
TEST_F(SplitRecoveryTest, PiecesSummedOnlyWhenReadBackAreVerifiedAndRebuilt) {
    const std::string data = TestBytes(40 * 200000 - 4321, 8);
    uint64_t firstTotal = 0;
    const ProgressCallback progress = [&](uint64_t, uint64_t total) {
        firstTotal = firstTotal ? firstTotal : total;
        return true;
    };
    ASSERT_EQ(Split(data, 200000, 20, kDefaultRecoveryMemory, nullptr, progress).end, SplitEnd::Done);
    EXPECT_GT(writer->Outcome().bytesReread, data.size() / 4) << "the middle of the order read back";
    EXPECT_GT(firstTotal, data.size() + data.size() / 4) << "the read back counted from the start";
    EXPECT_EQ(Par2("v"), 0);
    ExpectRepaired({"_Split#000", "_Split#013", "_Split#027"}, "_Split#020");
}

// A large first piece is hashed aside when it is read back at the end: its checksums are still its own.
TEST_F(SplitRecoveryTest, ALargeFirstPieceHashedAsideIsVerifiedAndRebuilt) {
    const std::string data = TestBytes(3 * 9000000 - 777, 7);
    ASSERT_EQ(Split(data, 9000000, 2, kDefaultRecoveryMemory).end, SplitEnd::Done);
    EXPECT_EQ(Par2("v"), 0);
    ExpectRepaired({"_Split#000"}, "_Split#002");
}

// Slices cut into chunks, and recovery data beyond the memory: the later passes take the pieces in chunks too.
TEST_F(SplitRecoveryTest, LaterPassesOfChunkedSlicesAreVerifiedAndRebuilt) {
    ASSERT_EQ(Split(TestBytes(8 * 2400000 - 999, 3), 2400000, 3, 6000000).end, SplitEnd::Done);
    EXPECT_GT(writer->Plan().recoverySlices, writer->Plan().slicesPerPass);
    EXPECT_GT(writer->Plan().sliceSize, 1u << 20); // cut into chunks
    EXPECT_EQ(Par2("v"), 0);
    ExpectRepaired({"_Split#000", "_Split#005"}, "_Split#002");
}

TEST_F(SplitRecoveryTest, AStopWhileALargeFirstPieceIsHashedAsideRemovesEverything) {
    const std::string data = TestBytes(3 * 9000000 - 777, 8);
    const SplitResult result = Split(data, 9000000, 2, kDefaultRecoveryMemory, nullptr,
                                     [&](uint64_t done, uint64_t) { return done < data.size() + 1000000; });
    EXPECT_EQ(result.end, SplitEnd::Stopped);
    EXPECT_TRUE(RecoveryFilesIn(dir).empty());
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

// A file that grows while its pieces are read side by side is no set of what it became: the split says so.
TEST_F(SplitRecoveryTest, AFileThatGrowsWhilePiecesAreInFlightIsNotPassedOffAsSplit) {
    bool grown = false;
    const ProgressCallback grow = [&](uint64_t, uint64_t) {
        if (!grown)
            std::ofstream(dir.Native("big.bin"), std::ios::binary | std::ios::app) << "more";
        grown = true;
        return true;
    };
    EXPECT_EQ(Split(TestBytes(300000, 6), 20000, 2, kDefaultRecoveryMemory, nullptr, grow).end,
              SplitEnd::ChangedWhileSplitting);
    EXPECT_TRUE(RecoveryFilesIn(dir).empty());
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

// catstub fills the bytes a self-catenating first piece's ID hashes: its place is known from the start, and
// of the set only the first piece, whose header's CRC comes last, is read back.
TEST_F(SplitRecoveryTest, ASelfCatenatingSetReadsBackOnlyItsFirstPiece) {
    const std::string stub = FakeStubImage(20000);
    ASSERT_EQ(Split(TestBytes(1000000, 4), 100000, 3, kDefaultRecoveryMemory, &stub).end, SplitEnd::Done);
    EXPECT_EQ(writer->Outcome().bytesReread, 100000u);
    ExpectRepaired({"_Split#000.exe", "_Split#006"}, "_Split#003");
}

TEST_F(SplitRecoveryTest, MemoryBelowTheRecoveryDataTakesMorePassesAndNoFileOutgrowsAPiece) {
    const std::string stub = FakeStubImage(3000);
    // 4 pieces of 100000 bytes to restore: 400000 bytes of recovery data in 200000 bytes of memory.
    ASSERT_EQ(Split(TestBytes(2000000, 9), 100000, 4, 200000, &stub).end, SplitEnd::Done);
    const uint64_t setBytes = 2000000 + 3000 + LongestPieceHeader("", dir.File("big.bin")).size();
    EXPECT_GT(writer->Outcome().bytesReread, setBytes); // the later passes read the set again
    uint64_t total = 0;
    for (const std::string& name : RecoveryFilesIn(dir)) {
        const uint64_t size = std::filesystem::file_size(dir.Native(name));
        EXPECT_LE(size, 100000u) << name;
        total += size;
    }
    EXPECT_EQ(total, writer->Outcome().bytes);
    EXPECT_EQ(Par2("v"), 0);
    ExpectRepaired({"_Split#000.exe", "_Split#003", "_Split#019"}, "_Split#010");
}

TEST_F(SplitRecoveryTest, AStopWhileTheRecoveryFilesAreMadeRemovesThemWithThePieces) {
    const std::string data = TestBytes(1000000, 2);
    const SplitResult result =
        Split(data, 100000, 2, 200000, nullptr, [](uint64_t done, uint64_t) { return done < 1000000; });
    EXPECT_EQ(result.end, SplitEnd::Stopped);
    EXPECT_TRUE(RecoveryFilesIn(dir).empty());
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

// The pieces' order is taken from their heads read ahead; when the pieces as written begin otherwise (the
// source changed in between), the order of the pieces as written holds and their recovery data follows it.
TEST_F(SplitRecoveryTest, PiecesThatBeginOtherwiseThanReadAheadAreStillRebuilt) {
    const std::string before = TestBytes(60000, 7);
    dir.Write("big.bin", before);
    std::vector<PlannedPiece> pieces;
    for (uint32_t n = 0; n < 6; ++n)
        pieces.push_back({PieceName(n), 10000, n * 10000ull});
    std::string after = before;
    for (uint32_t n = 1; n < 6; ++n)
        after[n * 10000] ^= 0x55;
    auto order = [&](const std::string& data) {
        std::vector<par2::Id> ids;
        for (const PlannedPiece& piece : pieces) {
            const std::string head = data.substr(piece.sourceOffset, 10000);
            ids.push_back(par2::FileIdOf(Md5Of(head.data(), head.size()), piece.size, piece.name));
        }
        std::vector<int> ranks(ids.size());
        for (size_t i = 0; i < ids.size(); ++i)
            for (size_t j = 0; j < ids.size(); ++j)
                ranks[i] += par2::FileIdLess(ids[j], ids[i]);
        return ranks;
    };
    ASSERT_NE(order(before), order(after)) << "the change must move a piece, or nothing is tested";

    RecoveryWriter writer(dir.File("big.bin"), 10000, RecoveryRequest{false, 3}, kDefaultRecoveryMemory);
    writer.Begin(pieces);
    for (const PlannedPiece& piece : pieces)
        dir.Write(piece.name, after.substr(piece.sourceOffset, piece.size));
    for (uint32_t n = 0; n < pieces.size(); ++n)
        writer.Written(n, reinterpret_cast<const uint8_t*>(after.data()) + pieces[n].sourceOffset, pieces[n].size);
    const ProgressCallback none;
    ProgressMeter meter(none, after.size());
    writer.Complete(meter);
    ExpectRepaired({PieceName(2), PieceName(4)}, PieceName(5));
}

// A tiny set frozen as the MD5 of its files, once checked with par2cmdline: the packets' bytes stay (the
// Creator packet names the version, so a new version changes them).
TEST_F(SplitRecoveryTest, TinySetKeepsItsKnownBytes) {
    dir.Write("big.bin", TestBytes(7000, 3));
    RecoveryWriter tiny(dir.File("big.bin"), 3000, RecoveryRequest{false, 1}, kDefaultRecoveryMemory);
    SplitJob job;
    job.largeFile = dir.File("big.bin");
    job.splitSize = 3000;
    job.withoutCrc = true;
    job.observer = &tiny;
    ASSERT_EQ(SplitLargeFile(job, messenger).end, SplitEnd::Done);
    const std::vector<std::string> names = RecoveryFilesIn(dir);
    ASSERT_EQ(names, (std::vector<std::string>{"_Split#.par2", "_Split#.vol000+001.par2", "_Split#.vol001+001.par2"}));
    std::string digests;
    for (const std::string& name : names) {
        const std::string bytes = dir.Read(name);
        const Md5Digest d = Md5Of(bytes.data(), bytes.size());
        char hex[33];
        for (int i = 0; i < 16; ++i)
            std::snprintf(hex + 2 * i, 3, "%02x", d[i]);
        digests += std::string(hex) + " ";
    }
    EXPECT_EQ(digests,
              "0a990686e618e630bf52bb01e3563afe 89e4f818083d5102acc104353ceef4fb f5b98e165fc520d3152bd9142ec4033a ");
    EXPECT_EQ(Par2("v"), 0);
}

TEST(SplitRecoveryPlan, CountsPiecesAndRefusesWhatCannotBe) {
    EXPECT_EQ(PiecesToRestore({true, 10}, 737), 74u); // a percentage rounds up
    EXPECT_EQ(PiecesToRestore({false, 30}, 26), 26u); // never more than the set
    const auto plan = PlanSplitRecovery(40, 1000000000, 1457664, false, {true, 10}, kDefaultRecoveryMemory);
    ASSERT_TRUE(std::holds_alternative<RecoveryPlan>(plan));
    EXPECT_EQ(std::get<RecoveryPlan>(plan).sliceSize, 728832u);
    EXPECT_EQ(std::get<RecoveryPlan>(plan).recoverySlices, 2u * 69);
    // 1000 pieces of 2000 bytes: the checksums every file repeats outgrow a piece.
    EXPECT_TRUE(std::holds_alternative<Outcome>(
        PlanSplitRecovery(40, 2000000, 2000, false, {false, 1}, kDefaultRecoveryMemory)));
    EXPECT_TRUE(IsRecoveryFileName("_SPLIT#.Vol012+003.PAR2", 23));
    EXPECT_FALSE(IsRecoveryFileName("_Split#.vol012.par2", 19));
}

TEST_F(SplitRecoveryTest, RecoveryFilesOfAnEarlierSplitAreLeftoversAskedAbout) {
    dir.Write("_Split#.vol000+001.par2", "old");
    EXPECT_EQ(Split(TestBytes(300000, 1), 100000, 1, kDefaultRecoveryMemory).end, SplitEnd::Refused); // No
    ASSERT_EQ(messenger.told.size(), 1u);
    ASSERT_EQ(messenger.told[0].Kind(), OutcomeKind::LeftoverPieces);
    const auto& asked = messenger.told[0].As<told::LeftoverPieces>();
    EXPECT_EQ((std::vector<uint64_t>{asked.pieces, asked.recoveryFiles}), (std::vector<uint64_t>{0, 1}));
    EXPECT_EQ(asked.firstRecoveryFile, "_Split#.vol000+001.par2");
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

TEST_F(SplitRecoveryTest, TheFreeSpaceCheckCountsTheRecoveryFiles) {
    // Room for the pieces but not for what their listener will write: refused before the first byte.
    struct Huge : SplitObserver {
        void Begin(const std::vector<PlannedPiece>&) override {}
        void Written(uint32_t, const uint8_t*, size_t) override {}
        void Complete(ProgressMeter&) override {}
        void Discard() override {}
        uint64_t FileBytes() const override { return uint64_t{1} << 60; }
    } huge;
    dir.Write("small.bin", TestBytes(3000, 4));
    SplitJob job;
    job.largeFile = dir.File("small.bin");
    job.splitSize = 1000;
    job.observer = &huge;
    EXPECT_EQ(SplitLargeFile(job, messenger, {}).end, SplitEnd::Refused);
    EXPECT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::NotEnoughSpace});
    EXPECT_FALSE(dir.Exists("_Split#000"));

    ASSERT_EQ(Split(TestBytes(300000, 3), 100000, 2, kDefaultRecoveryMemory).end, SplitEnd::Done);
    EXPECT_LE(writer->Outcome().bytes, writer->Plan().fileBytes) << "the plan's bound holds what was written";
}
