// Recovery files that lie: numbers that would wrap or ask for endless padding, headers that claim the rest of
// the file, recovery packets of the wrong size or of repeated exponents, pieces longer than recorded. Each is
// read by the folder reader and by catstub's index reader, checked and (where it can be) rebuilt.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <memory>
#include <stdexcept>

#include "core/crc32.h"
#include "core/piece_name.h"
#include "core/recovery_index.h"
#include "core/slice_check.h"
#include "recovery/rebuild.h"
#include "recovery/slice_solver.h"
#include "tests/support/par2_packet_writer.h"
#include "tests/support/temp_dir.h"

namespace {

class HostileSetTest : public ::testing::Test {
protected:
    // Three pieces, the last shorter than a slice's multiple, so that its last slice is padded.
    void SetUp() override {
        for (int n = 0; n < 3; ++n) {
            pieces.push_back(TestBytes(n == 2 ? 1500 : 2000, 40 + n));
            dir.Write(PieceName(n), pieces.back());
        }
    }
    CraftedSet Craft(uint64_t sliceSize, const std::vector<uint32_t>& exponents) const {
        return CraftSet({{PieceName(0), pieces[0]}, {PieceName(1), pieces[1]}, {PieceName(2), pieces[2]}}, sliceSize,
                        exponents);
    }
    void WriteIndex(const std::string& bytes) const { dir.Write("_Split#.par2", bytes); }
    par2::CheckResult Check() const { return par2::CheckPieces(dir.Path(), nullptr); }
    const par2::PieceCheck& Piece(const par2::CheckResult& r, int n) const {
        for (const par2::PieceCheck& piece : r.check.pieces)
            if (r.check.set.files[piece.file].name == PieceName(n))
                return piece;
        throw std::runtime_error("no piece " + PieceName(n));
    }
    // catstub's reading of the same bytes, in uneven blocks.
    bool ReadIndex(const std::string& bytes) {
        reader = std::make_unique<RecoveryIndexReader>();
        for (size_t at = 0; at < bytes.size(); at += 1000)
            reader->Feed(reinterpret_cast<const uint8_t*>(bytes.data()) + at,
                         std::min<size_t>(1000, bytes.size() - at));
        return reader->Finish();
    }
    SliceVerdict SliceCheckOf(int n, const std::string& bytes) const {
        SliceCheck check(&reader->Index(), n);
        check.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        return check.Finish();
    }

    TempDir dir;
    std::vector<std::string> pieces;
    std::unique_ptr<RecoveryIndexReader> reader;
};

TEST(Par2Layout, EveryNumberIsCheckedAgainstThePacketAndTheSet) {
    uint8_t body[64] = {};
    par2::MainBody main;
    par2::PutMain(body, 6, 1); // not a multiple of 4
    EXPECT_FALSE(par2::ReadMain(body, 28, main));
    par2::PutMain(body, 8, 2); // two IDs announced, one present
    EXPECT_FALSE(par2::ReadMain(body, 28, main));
    par2::PutMain(body, 8, 1);
    ASSERT_TRUE(par2::ReadMain(body, 28, main));

    par2::FileDescription file;
    file.fileId = body;
    file.length = std::numeric_limits<uint64_t>::max(); // would wrap (length + size - 1) / size
    EXPECT_EQ(par2::SlicesOf(file.length, 8), (file.length / 8) + 1);
    EXPECT_FALSE(par2::FitsSet(main, file));
    file.length = 8 * uint64_t{par2::kMaxInputSlices} + 1; // one slice too many
    EXPECT_FALSE(par2::FitsSet(main, file));
    file.length = 17;
    par2::SliceChecksums sums;
    sums.fileId = body;
    sums.count = 2;
    EXPECT_FALSE(par2::CountsFile(main, file, sums)); // 17 bytes are 3 slices of 8
    sums.count = 3;
    EXPECT_TRUE(par2::CountsFile(main, file, sums));

    par2::RecoverySlice slice;
    par2::PutRecoverySlice(body, 65535); // 2^65535 = 1: the factors of exponent 0 again
    EXPECT_FALSE(par2::ReadRecoverySlice(body, 4 + 8, slice));
    par2::PutRecoverySlice(body, 7);
    ASSERT_TRUE(par2::ReadRecoverySlice(body, 4 + 4, slice));
    EXPECT_FALSE(par2::IsSliceOf(main, slice)); // half a slice
    ASSERT_TRUE(par2::ReadRecoverySlice(body, 4 + 8, slice));
    EXPECT_TRUE(par2::IsSliceOf(main, slice));
}

TEST_F(HostileSetTest, ALengthNearTwoToThe64IsNoSetForEitherReader) {
    CraftedSet set = Craft(1000, {0});
    set.files[1].length = std::numeric_limits<uint64_t>::max() - 10;
    WriteIndex(set.AllPacketsText());
    EXPECT_EQ(par2::CheckOutcome::IndexIncomplete, Check().outcome);
    EXPECT_FALSE(ReadIndex(set.AllPacketsText()));
}

TEST_F(HostileSetTest, AHugeSliceSizeIsCheckedWithoutPaddingItByteByByte) {
    // Slices of 2^62 bytes: each piece is one slice, its CRC-32 of the zero-padded slice made by arithmetic
    // and its slice MD5 left unknown (no one can hash 2^62 bytes).
    CraftedSet set = Craft(1000, {});
    set.sliceSize = uint64_t{1} << 62;
    for (CraftedFile& f : set.files) {
        const uint32_t reg = Crc32Fast(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(f.bytes.data()), f.bytes.size());
        f.slices = {{Md5Digest{}, Crc32Zeros(reg, set.sliceSize - f.bytes.size()) ^ 0xFFFFFFFF}};
    }
    WriteIndex(set.AllPacketsText());
    std::string damaged = pieces[1];
    damaged[5] ^= 1;
    dir.Write(PieceName(1), damaged);
    dir.Write(PieceName(2), pieces[2] + "extra");

    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(par2::PieceCondition::Intact, Piece(result, 0).state);
    EXPECT_EQ(par2::PieceCondition::Damaged, Piece(result, 1).state);
    EXPECT_EQ(par2::PieceCondition::Damaged, Piece(result, 2).state); // longer than recorded, its slice good
    EXPECT_EQ(1u, result.check.slicesNeeded);
    EXPECT_EQ(par2::RebuildOutcome::NotEnough, par2::RebuildPieces(result.check, nullptr).outcome);

    ASSERT_TRUE(ReadIndex(set.AllPacketsText()));
    EXPECT_EQ(SliceVerdict::Intact, SliceCheckOf(0, pieces[0]));
    EXPECT_EQ(SliceVerdict::Damaged, SliceCheckOf(1, damaged));
}

TEST_F(HostileSetTest, HeadersClaimingTheRestOfTheFileAreSkippedInOnePass) {
    // The set, then 16384 headers whose lengths each reach the file's end and whose MD5s are wrong.
    std::string bytes = Craft(1000, {0}).AllPacketsText();
    const size_t headers = 16384, start = bytes.size();
    bytes.resize(start + headers * par2::kHeaderSize);
    for (size_t h = 0; h < headers; ++h) {
        uint8_t* p = reinterpret_cast<uint8_t*>(&bytes[start + h * par2::kHeaderSize]);
        par2::PutHeader(p, (headers - h - 1) * par2::kHeaderSize, p, par2::kRecoverySliceType);
    }
    WriteIndex(bytes);
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(1u, result.check.set.damagedPackets); // the first, its length the whole rest
    EXPECT_EQ(1u, result.check.set.recovery.size());
}

TEST_F(HostileSetTest, ExtraBytesAfterARecordedLengthNeverEnterTheRebuild) {
    WriteIndex(Craft(1000, {0, 1}).AllPacketsText());
    dir.Write(PieceName(2), pieces[2] + std::string(300, '\x7f')); // its last slice is 500 bytes and padded
    std::filesystem::remove(dir.Native(PieceName(0)));
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(par2::PieceCondition::Damaged, Piece(result, 2).state);
    EXPECT_EQ(0u, Piece(result, 2).BadSlices());
    EXPECT_EQ(2u, result.check.slicesNeeded);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(result.check, nullptr).outcome);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(pieces[n], dir.Read(PieceName(n))) << PieceName(n);
}

TEST_F(HostileSetTest, RecoveryPacketsOfTheWrongSizeOrARepeatedExponentAreNotSlices) {
    CraftedSet set = Craft(1000, {0, 1});
    // Before the true slices: one of exponent 0 shorter than a slice, and many of no data whose exponents
    // equal 1 modulo 65535.
    CraftedSet fakes = set;
    fakes.recovery = {{0, std::vector<uint8_t>(996, 0)}};
    for (uint32_t n = 1; n <= 2000; ++n)
        fakes.recovery.push_back({1 + 65535 * n, {}});
    std::string bytes;
    for (size_t r = 0; r < fakes.recovery.size(); ++r) {
        const std::vector<uint8_t> p = fakes.RecoveryPacket(r);
        bytes.append(p.begin(), p.end());
    }
    WriteIndex(bytes + set.AllPacketsText());
    std::filesystem::remove(dir.Native(PieceName(1)));
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(2u, result.check.set.recovery.size());
    EXPECT_EQ(2u, result.check.slicesNeeded);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(result.check, nullptr).outcome);
    EXPECT_EQ(pieces[1], dir.Read(PieceName(1)));
}

TEST(SliceSolverLimits, DependentRowsEndWithinTheSparesAndTheMatrixWithinItsMemory) {
    // Every row the same (exponents equal modulo 65535, as a reader that forgot the limit would pass them):
    // the solver gives up after its spares, its matrix no larger than they are.
    std::vector<uint32_t> exponents;
    for (uint32_t n = 0; n < 100000; ++n)
        exponents.push_back(3 + 65535 * n);
    EXPECT_EQ(par2::SolveOutcome::Singular, par2::PlanSolve({1, 2}, exponents).outcome);
    EXPECT_EQ(par2::SolveOutcome::Stopped, par2::PlanSolve({1, 2}, {0, 1}, [] { return false; }).outcome);
    // A system beyond the solver's memory is refused before anything is taken.
    std::vector<uint32_t> many(14000);
    for (uint32_t i = 0; i < many.size(); ++i)
        many[i] = i;
    EXPECT_EQ(par2::SolveOutcome::OutOfMemory, par2::PlanSolve(many, many).outcome);
}

} // namespace
