// The recovery set beside a folder's pieces as the user's disk holds it: the set that matches the pieces,
// files of the set that are not pieces, pieces it does not describe, names in any letter case, special
// files, links that lead nowhere, a rename that fails, a stopped rebuild's leftover, a damaged index.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "core/piece_name.h"
#include "recovery/rebuild.h"
#include "tests/support/recovery_set_writer.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint64_t kSlice = 1000;

class SetFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 0; n < 4; ++n) {
            pieces.push_back(TestBytes(n == 3 ? 2500 : 4000, 10 + n));
            dir.Write(PieceName(n), pieces.back());
        }
    }
    // A set over the named files, under its own name.
    void MakeSet(const std::vector<std::string>& names, const std::string& as = "_Split#.par2",
                 std::vector<uint32_t> exponents = {0, 1, 2, 3, 4}) {
        WriteRecoveryFile(dir.Native("").string(), names, kSlice, exponents);
        if (as != "_Split#.par2")
            std::filesystem::rename(dir.Native("_Split#.par2"), dir.Native(as));
    }
    std::vector<std::string> AllPieces() const { return {PieceName(0), PieceName(1), PieceName(2), PieceName(3)}; }
    par2::CheckResult Check() const { return par2::CheckPieces(dir.Path(), nullptr); }
    static const par2::PieceCheck& Of(const par2::CheckResult& r, const std::string& name) {
        for (const par2::PieceCheck& p : r.check.pieces)
            if (r.check.set.files[p.file].name == name)
                return p;
        throw std::runtime_error("no " + name);
    }

    TempDir dir;
    std::vector<std::string> pieces;
};

} // namespace

TEST_F(SetFaultsTest, TheSetMatchingThePiecesWinsOverAStaleOneWithMoreFiles) {
    // An earlier split of five pieces with its own set, then this one's four pieces and set.
    for (int n = 0; n < 5; ++n)
        dir.Write(PieceName(n), TestBytes(4000, 90 + n));
    MakeSet({PieceName(0), PieceName(1), PieceName(2), PieceName(3), PieceName(4)}, "old.par2");
    std::filesystem::remove(dir.Native(PieceName(4)));
    for (int n = 0; n < 4; ++n)
        dir.Write(PieceName(n), pieces[n]);
    MakeSet(AllPieces());
    const par2::CheckResult fresh = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, fresh.outcome);
    EXPECT_TRUE(fresh.check.Complete());
    EXPECT_EQ(std::vector<std::string>{dir.File("_Split#.par2")}, fresh.check.set.indexFiles);

    std::filesystem::remove(dir.Native("_Split#.par2"));
    const par2::CheckResult stale = Check();
    EXPECT_EQ(par2::CheckOutcome::NoMatch, stale.outcome);
    EXPECT_EQ(std::vector<std::string>{dir.File("old.par2")}, stale.check.set.indexFiles);
}

TEST_F(SetFaultsTest, TwoSetsOverDifferentPiecesAreBothNamed) {
    MakeSet({PieceName(0), PieceName(1)}, "a.par2");
    MakeSet({PieceName(2), PieceName(3)}, "b.par2");
    const par2::CheckResult result = Check();
    EXPECT_EQ(par2::CheckOutcome::TwoSets, result.outcome);
    std::vector<std::string> named = {result.check.set.indexFiles.at(0), result.otherIndexFiles.at(0)};
    std::sort(named.begin(), named.end());
    EXPECT_EQ((std::vector<std::string>{dir.File("a.par2"), dir.File("b.par2")}), named);
}

TEST_F(SetFaultsTest, AFileOfTheSetThatIsNoPieceIsCheckedAndRebuiltOnlyByARepair) {
    dir.Write("README.txt", TestBytes(1500, 5));
    MakeSet({PieceName(0), PieceName(1), PieceName(2), PieceName(3), "README.txt"}, "_Split#.par2", {0, 1, 2, 3, 4, 5});
    std::filesystem::remove(dir.Native(PieceName(1)));
    std::filesystem::remove(dir.Native("README.txt"));
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(par2::PieceCondition::Missing, Of(result, "README.txt").state);
    EXPECT_FALSE(result.check.PiecesIntact());
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt,
              par2::RebuildPieces(result.check, nullptr, par2::kDefaultRebuildMemory, par2::RebuildScope::PiecesOnly)
                  .outcome);
    EXPECT_EQ(pieces[1], dir.Read(PieceName(1)));
    EXPECT_FALSE(dir.Exists("README.txt")) << "a join leaves the set's other files to their owner";
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(Check().check, nullptr).outcome);
    EXPECT_EQ(TestBytes(1500, 5), dir.Read("README.txt"));
}

TEST_F(SetFaultsTest, APieceTheSetDoesNotDescribeMakesItUnrebuildable) {
    MakeSet({PieceName(0), PieceName(2), PieceName(3)});
    std::filesystem::remove(dir.Native(PieceName(1)));
    std::filesystem::remove(dir.Native(PieceName(2)));
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(std::vector<std::string>{PieceName(1)}, result.check.undescribed);
    EXPECT_FALSE(result.check.Rebuildable());
    EXPECT_FALSE(result.check.Complete());
}

TEST_F(SetFaultsTest, PiecesInAnotherLetterCaseAreFoundAndRebuiltUnderTheirOwnSpelling) {
    MakeSet(AllPieces());
    for (int n = 0; n < 4; ++n)
        std::filesystem::rename(dir.Native(PieceName(n)), dir.Native("_SPLIT#00" + std::to_string(n)));
    std::string damaged = pieces[1];
    damaged[1500] ^= 1;
    dir.Write("_SPLIT#001", damaged);
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ(par2::PieceCondition::Intact, Of(result, PieceName(0)).state);
    EXPECT_EQ(par2::PieceCondition::Damaged, Of(result, PieceName(1)).state);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(result.check, nullptr).outcome);
    EXPECT_EQ(pieces[1], dir.Read("_SPLIT#001"));
    EXPECT_EQ(damaged, dir.Read("_SPLIT#001.damaged"));
    EXPECT_FALSE(dir.Exists(PieceName(1))) << "no second name for one piece";
    EXPECT_TRUE(Check().check.Complete());
}

TEST_F(SetFaultsTest, APipeNamedLikeAPieceIsRefusedByNameBeforeAnyOpen) {
    MakeSet(AllPieces());
    std::filesystem::remove(dir.Native(PieceName(1)));
    ASSERT_EQ(0, mkfifo(dir.Native(PieceName(1)).c_str(), 0600));
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Refused, result.outcome);
    EXPECT_EQ(OutcomeKind::PieceNotRegular, result.refusal.Kind());
    EXPECT_EQ(dir.File(PieceName(1)), result.refusal.As<told::PieceNotRegular>().path);
}

TEST_F(SetFaultsTest, LinksThatLeadNowhereAreMovedAsideLikeAnyFileInTheWay) {
    MakeSet(AllPieces());
    std::string damaged = pieces[0];
    damaged[10] ^= 1;
    dir.Write(PieceName(0), damaged);
    std::filesystem::remove(dir.Native(PieceName(2)));
    std::filesystem::create_symlink("nowhere", dir.Native(PieceName(2)));
    std::filesystem::create_symlink("nowhere", dir.Native(PieceName(2) + ".damaged"));
    const par2::RebuildResult rebuilt = par2::RebuildPieces(Check().check, nullptr);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, rebuilt.outcome) << rebuilt.failure;
    EXPECT_EQ(pieces[0], dir.Read(PieceName(0)));
    EXPECT_EQ(pieces[2], dir.Read(PieceName(2)));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Native(PieceName(2) + ".damaged2")));
}

TEST_F(SetFaultsTest, ARenameThatFailsPartWayPutsEveryPieceBack) {
    MakeSet(AllPieces());
    std::string damaged = pieces[0];
    damaged[10] ^= 1;
    dir.Write(PieceName(0), damaged);
    std::filesystem::remove(dir.Native(PieceName(2)));
    const par2::CheckResult result = Check();
    par2::PreparedRebuild prepared = par2::PrepareRebuild(result.check, nullptr);
    ASSERT_EQ(par2::RebuildOutcome::Ready, prepared.result.outcome);
    // The second rebuilt piece goes missing after the first took its name.
    ASSERT_EQ(dir.File(PieceName(2) + ".rebuilding"), prepared.Waiting(dir.File(PieceName(2))));
    std::filesystem::remove(dir.Native(PieceName(2) + ".rebuilding"));
    const par2::RebuildResult committed = prepared.Commit();
    EXPECT_EQ(par2::RebuildOutcome::CommitFailed, committed.outcome);
    EXPECT_TRUE(committed.pieces.empty()) << "every rename was taken back";
    EXPECT_TRUE(damaged == dir.Read(PieceName(0)));
    EXPECT_FALSE(dir.Exists(PieceName(0) + ".damaged"));
    EXPECT_FALSE(dir.Exists(PieceName(0) + ".rebuilding"));
    EXPECT_FALSE(dir.Exists(PieceName(2)));
}

TEST_F(SetFaultsTest, AStoppedRebuildsLeftoverIsRemovedAndTold) {
    MakeSet(AllPieces());
    std::filesystem::remove(dir.Native(PieceName(3)));
    dir.Write(PieceName(3) + ".rebuilding", "half");
    const par2::RebuildResult rebuilt = par2::RebuildPieces(Check().check, nullptr);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, rebuilt.outcome);
    EXPECT_EQ(std::vector<std::string>{dir.File(PieceName(3) + ".rebuilding")}, rebuilt.removedLeftovers);
    EXPECT_EQ(pieces[3], dir.Read(PieceName(3)));
}

TEST_F(SetFaultsTest, ADamagedRecoveryFileIsNamedWithWhatTheRestCanRestore) {
    MakeSet(AllPieces(), "_Split#.par2", {0, 1, 2, 3, 4, 5, 6, 7, 8});
    std::string index = dir.Read("_Split#.par2");
    index[index.size() - 200] ^= 1; // inside the last recovery slice
    dir.Write("_Split#.par2", index);
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_TRUE(result.check.Complete());
    ASSERT_EQ(1u, result.check.set.damagedFiles.size());
    EXPECT_EQ(dir.File("_Split#.par2"), result.check.set.damagedFiles[0].first);
    EXPECT_EQ(2u, result.check.SparePieces()) << "8 slices left, 4 per piece";
}

TEST_F(SetFaultsTest, AFileOfTheSetNamedOutsideTheFolderIsNeverReadNorWritten) {
    std::filesystem::create_directory(dir.Native("sub"));
    dir.Write("sub/x.bin", TestBytes(1500, 6));
    MakeSet({PieceName(0), PieceName(1), PieceName(2), PieceName(3), "sub/x.bin"}, "_Split#.par2", {0, 1, 2, 3, 4, 5});
    std::filesystem::remove(dir.Native("sub/x.bin"));
    std::filesystem::remove(dir.Native(PieceName(1)));
    const par2::CheckResult result = Check();
    ASSERT_EQ(par2::CheckOutcome::Checked, result.outcome);
    EXPECT_EQ("", Of(result, "sub/x.bin").path);
    ASSERT_EQ(par2::RebuildOutcome::Rebuilt, par2::RebuildPieces(result.check, nullptr).outcome);
    EXPECT_EQ(pieces[1], dir.Read(PieceName(1)));
    EXPECT_FALSE(dir.Exists("sub/x.bin"));
    EXPECT_FALSE(dir.Exists("sub/x.bin.rebuilding"));
}
