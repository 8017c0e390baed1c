// "Start cat" on a set with recovery files: a missing piece is named, rebuilt after a Yes and joined; more
// damage than they can rebuild is refused before anything is written; "Check pieces" shows each state.
#include <filesystem>

#include "tests/support/recovery_set_writer.h"
#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

class RecoveryCatTest : public CatDialogTest {
protected:
    void SetUp() override {
        CatDialogTest::SetUp();
        dir.Enter();
        names = WriteSet(dir, "movie.avi", data, 1000);
        ASSERT_EQ(3u, names.size());
        WriteRecoveryFile(dir.Native("").string(), {"_Split#000", "_Split#001", "_Split#002"}, 500, {0, 1});
        pieces = {dir.Read("_Split#000"), dir.Read("_Split#001"), dir.Read("_Split#002")};
    }
    void Show(const std::string& first) {
        Type(dir.File(first));
        ASSERT_FALSE(dialog.CatenationList().empty());
    }

    TempDir dir;
    const std::string data = TestBytes(2500, 7);
    std::vector<std::string> names, pieces;
};

} // namespace

TEST_F(RecoveryCatTest, AMissingPieceIsNamedRebuiltAfterAYesAndTheSetJoined) {
    std::filesystem::remove(dir.Native("_Split#002"));
    Show("_Split#000");
    Click(IDC_START_CAT);
    ASSERT_EQ(2u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ((ShownMessage{"Damaged or missing pieces:\n_Split#002\n\n1 piece missing: the recovery files can "
                            "rebuild it (needs 2 of 2 recovery slices).\n\nRebuild it, then join?",
                            Icon::Question, Buttons::YesNoDefaultYes}),
              messenger.shown[0]);
    EXPECT_EQ(0u, messenger.shown[1].text.find("Catenated File: movie.avi  OK")) << messenger.shown[1].text;
    EXPECT_EQ(pieces[2], dir.Read("_Split#002"));
    EXPECT_EQ(data, dir.Read("movie.avi"));
    EXPECT_EQ(4u, CatLines().size()) << "three pieces and the rejoined file";
    ExpectListInStep();
}

TEST_F(RecoveryCatTest, TheReplaceQuestionComesBeforeTheRebuildAndItsNoLeavesEveryPiece) {
    std::filesystem::remove(dir.Native("_Split#002"));
    dir.Write("movie.avi", "the user's own");
    Show("_Split#000");
    Click(IDC_START_CAT);
    // The rebuild question, then the replace question (No by default), and nothing after.
    ASSERT_EQ(2u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(Buttons::YesNoDefaultYes, messenger.shown[0].buttons);
    EXPECT_EQ(Buttons::YesNo, messenger.shown[1].buttons);
    EXPECT_NE(std::string::npos, messenger.shown[1].text.find("movie.avi")) << messenger.shown[1].text;
    EXPECT_FALSE(dir.Exists("_Split#002"));
    EXPECT_FALSE(dir.Exists("_Split#002.rebuilding"));
    EXPECT_EQ("the user's own", dir.Read("movie.avi"));
}

TEST_F(RecoveryCatTest, MoreDamageThanTheRecoveryFilesCanRebuildIsRefusedBeforeAnythingIsWritten) {
    std::string middle = pieces[1];
    middle[10] ^= 1;
    middle[900] ^= 1;
    dir.Write("_Split#001", middle);
    std::filesystem::remove(dir.Native("_Split#002"));
    Show("_Split#000");
    Click(IDC_START_CAT);
    EXPECT_EQ((std::vector<ShownMessage>{
                  {"Damaged or missing pieces:\n_Split#001, _Split#002\n\n1 piece damaged, 1 missing: the recovery "
                   "files cannot rebuild them (needs 4 recovery slices, 2 present: 2 more).\nIt would take about 1 "
                   "more recovery file like those present.\nNothing was joined.",
                   Icon::Hand, Buttons::Ok}}),
              messenger.shown);
    EXPECT_FALSE(dir.Exists("movie.avi"));
    EXPECT_FALSE(dir.Exists("_Split#002"));
    EXPECT_EQ(middle, dir.Read("_Split#001"));
}

TEST_F(RecoveryCatTest, CheckPiecesShowsEachPiecesState) {
    std::string middle = pieces[1];
    middle[700] ^= 1;
    dir.Write("_Split#001", middle);
    Show("_Split#000");
    SendMessageA(dialog.Handle(), WM_COMMAND, IDM_CAT_CHECK_PIECES, 0);
    dialog.WaitForJob();
    EXPECT_EQ((std::vector<ShownMessage>{{"damaged: _Split#001: bytes 500-999 (1 of 2 slices)\n1 piece damaged: the "
                                          "recovery files can rebuild it (needs 1 of 2 recovery slices)",
                                          Icon::Exclamation, Buttons::Ok}}),
              messenger.shown);
    EXPECT_EQ(middle, dir.Read("_Split#001")) << "a check changes nothing";
}
