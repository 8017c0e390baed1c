// Pieces checked against recovery files that par2cmdline made over them, rebuilt, and accepted by par2 again;
// the solver's fallback when the first choice of recovery slices is singular.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "core/crc32.h"
#include "recovery/early_hashes.h"
#include "recovery/gf16.h"
#include "recovery/par2_format.h"
#include "recovery/rebuild.h"
#include "recovery/slice_solver.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kPieces = 8;
constexpr size_t kPieceSize = 40000, kSliceSize = 10000;

std::string Name(int n) {
    return "_Split#00" + std::to_string(n);
}

int Par2(const TempDir& dir, const std::string& args) {
    const std::string command = "cd '" + dir.Native("").string() + "' && par2 " + args + " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(command.c_str()));
}

class RebuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 0; n < kPieces; ++n) {
            // The last piece is shorter, so that its last slice is padded.
            pieces.push_back(TestBytes(n == kPieces - 1 ? 12345 : kPieceSize, 100 + n));
            dir.Write(Name(n), pieces.back());
        }
        ASSERT_EQ(0, Par2(dir, "c -q -s" + std::to_string(kSliceSize) + " -c9 -n1 -a _Split#.par2 -- _Split#*"));
    }
    par2::CheckResult Check() { return par2::CheckPieces(dir.Path(), nullptr); }
    // The pieces are in the set's order, that of their file IDs.
    const par2::PieceCheck& Piece(const par2::CheckResult& r, int n) {
        for (const par2::PieceCheck& piece : r.check.pieces)
            if (r.check.set.files[piece.file].name == Name(n))
                return piece;
        throw std::runtime_error("no piece " + Name(n));
    }

    TempDir dir;
    std::vector<std::string> pieces;
};

TEST_F(RebuildTest, NamesEachKindOfDamageAndRebuildsThemAllAsPar2Accepts) {
    std::filesystem::remove(dir.Native(Name(1)));             // missing
    std::filesystem::resize_file(dir.Native(Name(2)), 25000); // truncated in its third slice
    std::string damaged = pieces[3];
    damaged[15000] ^= 1; // one bad slice
    dir.Write(Name(3), damaged);
    std::filesystem::rename(dir.Native(Name(5)), dir.Native("copy.bin")); // renamed

    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    const par2::SetCheck& check = result.check;
    EXPECT_EQ(par2::PieceCondition::Intact, Piece(result, 0).state);
    EXPECT_EQ(par2::PieceCondition::Missing, Piece(result, 1).state);
    EXPECT_EQ(par2::PieceCondition::Truncated, Piece(result, 2).state);
    EXPECT_EQ((std::vector<bool>{true, true, false, false}), Piece(result, 2).goodSlices);
    EXPECT_EQ(par2::PieceCondition::Damaged, Piece(result, 3).state);
    const auto ranges = par2::BadRanges(Piece(result, 3), check.set);
    ASSERT_EQ(1u, ranges.size());
    EXPECT_EQ(10000u, ranges[0].begin);
    EXPECT_EQ(20000u, ranges[0].end);
    EXPECT_EQ(par2::PieceCondition::Renamed, Piece(result, 5).state);
    EXPECT_EQ(dir.File("copy.bin"), Piece(result, 5).foundPath);
    EXPECT_EQ(4u + 2u + 1u, check.slicesNeeded);
    EXPECT_TRUE(check.Rebuildable());

    const par2::RebuildResult rebuilt = par2::RebuildPieces(check, nullptr);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, rebuilt.outcome);
    EXPECT_EQ(4u, rebuilt.pieces.size());
    for (int n = 0; n < kPieces; ++n)
        EXPECT_EQ(pieces[n], dir.Read(Name(n))) << Name(n);
    EXPECT_EQ(damaged, dir.Read(Name(3) + ".damaged"));
    EXPECT_EQ(std::string(pieces[2], 0, 25000), dir.Read(Name(2) + ".damaged"));
    EXPECT_EQ(pieces[5], dir.Read("copy.bin"));
    EXPECT_FALSE(dir.Exists(Name(1) + ".rebuilding"));
    EXPECT_TRUE(Check().check.Complete());
    EXPECT_EQ(0, Par2(dir, "v -qq _Split#.par2"));
}

// One read of each piece gives its CRC-32 too; progress is told on the caller's thread only, never falling,
// and a stop asked for while the pieces are read ends the check.
TEST_F(RebuildTest, TheCheckTellsEachPiecesCrcAndStopsWhenAsked) {
    const std::thread::id caller = std::this_thread::get_id();
    uint64_t last = 0;
    bool ordered = true, onCaller = true;
    const par2::CheckResult result = par2::CheckPieces(dir.Path(), [&](uint64_t done, uint64_t) {
        ordered = ordered && done >= last;
        onCaller = onCaller && std::this_thread::get_id() == caller;
        last = done;
        return true;
    });
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_TRUE(ordered && onCaller);
    for (int n = 0; n < kPieces; ++n)
        EXPECT_EQ(Crc32Bytewise(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(pieces[n].data()), pieces[n].size()),
                  Piece(result, n).crcRegister)
            << n;
    const auto stopHalfway = [](uint64_t done, uint64_t total) { return done <= total / 2; };
    EXPECT_EQ(par2::CheckOutcome::Stopped, par2::CheckPieces(dir.Path(), stopHalfway).outcome);
}

// The pieces read beside the set: their digests when all were wanted, none when one was not or a file failed.
TEST_F(RebuildTest, PiecesReadBesideTheSetCountOnlyWhenAllAreWantedAndRead) {
    std::vector<std::string> paths;
    for (int n = 0; n < kPieces; ++n)
        paths.push_back(dir.File(Name(n)));
    const ProgressCallback none;
    ProgressMeter meter(none, 0);
    par2::EarlyHashes all(paths);
    all.Wait(paths, meter);
    for (int n = 0; n < kPieces; ++n) {
        const par2::FileDigest* digest = all.Of(paths[n]);
        ASSERT_NE(nullptr, digest) << n;
        EXPECT_EQ(pieces[n].size(), digest->length);
        EXPECT_EQ(Crc32Bytewise(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(pieces[n].data()), pieces[n].size()),
                  digest->crcRegister);
    }
    par2::EarlyHashes unwanted(paths);
    unwanted.Wait({paths[0]}, meter);
    EXPECT_EQ(nullptr, unwanted.Of(paths[0]));
    paths.push_back(dir.File("gone"));
    par2::EarlyHashes failed(paths);
    failed.Wait(paths, meter);
    EXPECT_EQ(nullptr, failed.Of(paths[0]));
}

TEST_F(RebuildTest, MoreDamageThanRecoverySlicesIsRefusedBeforeAnythingIsWritten) {
    for (int n : {1, 2, 3})
        std::filesystem::remove(dir.Native(Name(n)));
    const par2::CheckResult result = Check();
    EXPECT_EQ(12u, result.check.slicesNeeded);
    EXPECT_FALSE(result.check.Rebuildable());
    EXPECT_EQ(par2::RebuildOutcome::NotEnough, par2::RebuildPieces(result.check, nullptr).outcome);
    EXPECT_FALSE(dir.Exists(Name(1) + ".rebuilding"));
    EXPECT_FALSE(dir.Exists(Name(1)));
}

TEST_F(RebuildTest, DamagedRecoveryPacketsAreSkippedAndAStopLeavesNoFile) {
    std::filesystem::remove(dir.Native(Name(4)));
    std::string volume = dir.Read("_Split#.vol0+9.par2");
    ASSERT_FALSE(volume.empty());
    volume[volume.size() / 2] ^= 0x55; // inside one recovery slice
    dir.Write("_Split#.vol0+9.par2", volume);
    const par2::CheckResult result = Check();
    EXPECT_EQ(8u, result.check.set.recovery.size());
    EXPECT_EQ(1u, result.check.set.damagedPackets);
    const par2::RebuildResult stopped =
        par2::RebuildPieces(result.check, [](uint64_t done, uint64_t) { return done == 0; });
    EXPECT_EQ(par2::RebuildOutcome::Stopped, stopped.outcome);
    EXPECT_FALSE(dir.Exists(Name(4) + ".rebuilding"));
    EXPECT_FALSE(dir.Exists(Name(4)));
    // A small memory cap splits each slice into ranges; the result is the same.
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(result.check, nullptr, 4 * 4096).outcome);
    EXPECT_EQ(pieces[4], dir.Read(Name(4)));
}

// Many small slices: more present ones than one batch reads, more missing ones than one batch works out.
TEST(RebuildMany, SlicesBeyondOneBatchOfEachKind) {
    TempDir dir;
    std::vector<std::string> pieces;
    for (int n = 0; n < 6; ++n) {
        pieces.push_back(TestBytes(n == 5 ? 30123 : 40000, 200 + n));
        dir.Write(Name(n), pieces.back());
    }
    ASSERT_EQ(0, Par2(dir, "c -q -s500 -c80 -n1 -a _Split#.par2 -- _Split#*"));
    std::filesystem::remove(dir.Native(Name(2)));
    const par2::CheckResult result = par2::CheckPieces(dir.Path(), nullptr);
    ASSERT_EQ(80u, result.check.slicesNeeded);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(result.check, nullptr).outcome);
    EXPECT_EQ(pieces[2], dir.Read(Name(2)));
}

TEST(SliceSolver, ASingularChoiceTriesOtherRecoverySlicesAndTheSolutionHolds) {
    // Exponents 0 and 65535 give equal rows (2^65535 = 1): the first two cannot solve two slices.
    const std::vector<uint32_t> missing = {3, 7}, exponents = {0, 65535, 5};
    const par2::SolveResult solved = par2::PlanSolve(missing, exponents);
    ASSERT_EQ(par2::SolveOutcome::Solved, solved.outcome);
    const par2::SolvePlan* plan = &solved.plan;
    EXPECT_EQ(1u, plan->rejected);
    ASSERT_EQ(2u, plan->used.size());
    // Recovery words from two known data words; the plan must give them back.
    const uint16_t data[2] = {0x1234, 0xBEEF};
    for (size_t j = 0; j < 2; ++j) {
        uint16_t solved = 0;
        for (size_t r = 0; r < 2; ++r) {
            const uint32_t e = exponents[plan->used[r]];
            const uint16_t word =
                gf16::Mul(par2::InputFactor(3, e), data[0]) ^ gf16::Mul(par2::InputFactor(7, e), data[1]);
            solved ^= gf16::Mul(plan->coefficients[j * 2 + r], word);
        }
        EXPECT_EQ(data[j], solved) << "slice " << missing[j];
    }
    EXPECT_EQ(par2::SolveOutcome::Singular, par2::PlanSolve(missing, {0, 65535}).outcome);
}

} // namespace
