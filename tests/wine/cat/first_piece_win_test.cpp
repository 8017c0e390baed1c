// Naming the first piece: typed into IDC_FIRST_PIECE or chosen with "...", and what
// "Start cat" says when nothing valid was named.
#include <filesystem>

#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

const std::string kFirstPieceFilter("_Split#000 (_Split#000)\0_Split#000\0", 35);

// A set of three pieces of a 2500-byte file at 1000 bytes a piece.
std::vector<std::string> WriteThreePieces(const TempDir& dir) {
    return WritePieces(dir, "", TestBytes(2500), 1000);
}

const std::vector<std::string> kThreePieceLines{"_Split#000\t 1000 bytes", "_Split#001\t 1000 bytes",
                                                "_Split#002\t 500 bytes"};

} // namespace

TEST_F(CatDialogTest, TypedFirstPieceInAnyLetterCaseListsItsSet) {
    TempDir dir;
    const auto names = WriteThreePieces(dir);
    for (const char* typed : {"_split#000", "_SPLIT#000", "_Split#000", "_sPlIt#000"}) {
        Type(dir.Path() + "\\" + typed);
        EXPECT_EQ(dir.File("_Split#000"), dialog.FirstPiecePath()) << "typed " << typed;
        EXPECT_EQ(dir.Path() + "\\" + typed, EditText()) << "the edit keeps what was typed";
        EXPECT_EQ(PathsIn(dir, names), dialog.CatenationList()) << "typed " << typed;
        EXPECT_EQ(kThreePieceLines, CatLines()) << "typed " << typed;
        ExpectListInStep();
    }
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(CatDialogTest, ABareFirstPieceIsTheCurrentFoldersAndKeepsItsPlace) {
    TempDir dir, later;
    const auto names = WriteThreePieces(dir);
    dir.Enter();
    Type("_split#000");
    EXPECT_EQ(dir.File("_Split#000"), dialog.FirstPiecePath()) << "not the drive's root";
    EXPECT_EQ(PathsIn(dir, names), dialog.CatenationList()) << "full paths from the moment they are listed";
    later.Enter();
    EXPECT_EQ(PathsIn(dir, names), dialog.CatenationList());
}

TEST_F(CatDialogTest, TypedTextThatNamesNoFirstPieceChangesNothingAndSaysNothing) {
    TempDir dir;
    const auto names = WriteThreePieces(dir);
    Type(dir.File("_Split#000"));
    ASSERT_EQ(PathsIn(dir, names), dialog.CatenationList());

    // Half-typed and other names: the text is kept as the path, the list stays.
    Type(dir.File("_Split#00"));
    EXPECT_EQ(dir.File("_Split#00"), dialog.FirstPiecePath());
    Type(dir.File("_Split#001"));
    EXPECT_EQ(dir.File("_Split#001"), dialog.FirstPiecePath());
    // The right name in a folder that does not exist: normalised, then dropped quietly.
    Type(dir.Path() + "\\missing\\_SPLIT#000");
    EXPECT_EQ(dir.Path() + "\\missing\\_Split#000", dialog.FirstPiecePath());
    // A folder of that name is no first piece either.
    TempDir other;
    std::filesystem::create_directory(other.Native("_Split#000"));
    Type(other.File("_split#000"));
    EXPECT_EQ(other.File("_Split#000"), dialog.FirstPiecePath());

    EXPECT_EQ(PathsIn(dir, names), dialog.CatenationList()) << "the list of the last good first piece stays";
    EXPECT_EQ(kThreePieceLines, CatLines());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(CatDialogTest, FirstPieceStoredInLowerCaseIsListedUnderItsOwnName) {
    TempDir dir;
    dir.Write("_split#000", "abc");
    dir.Write("_Split#001", "def");
    Type(dir.File("_split#000"));
    EXPECT_EQ(dir.File("_Split#000"), dialog.FirstPiecePath());
    ASSERT_EQ(2u, dialog.CatenationList().size()) << "both pieces are found";
    EXPECT_EQ(dir.File("_split#000"), dialog.CatenationList()[0]) << "the search gives the name as it is on disk";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(CatDialogTest, PickedFirstPieceFillsEditAndListOnce) {
    TempDir dir;
    const auto names = WriteThreePieces(dir);
    pickers.fileAnswer = dir.File("_Split#000");
    Click(IDC_PICK_FIRST_PIECE);
    ASSERT_EQ(1u, pickers.asked.size());
    EXPECT_EQ("C:\\|Select 1st splitted file|" + kFirstPieceFilter, pickers.asked[0]);
    EXPECT_EQ(dir.File("_Split#000"), EditText());
    EXPECT_EQ(dir.File("_Split#000"), dialog.FirstPiecePath());
    EXPECT_EQ(PathsIn(dir, names), dialog.CatenationList());
    EXPECT_EQ(kThreePieceLines, CatLines()) << "each piece once, though the edit's change found them again";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(CatDialogTest, PickerCancelEmptiesOnlyThePath) {
    TempDir dir;
    const auto names = WriteThreePieces(dir);
    Type(dir.File("_Split#000"));
    pickers.fileAnswer = "";
    Click(IDC_PICK_FIRST_PIECE);
    EXPECT_EQ("", dialog.FirstPiecePath());
    EXPECT_EQ(dir.File("_Split#000"), EditText()) << "the edit is left alone";
    EXPECT_EQ(PathsIn(dir, names), dialog.CatenationList());
    EXPECT_EQ(kThreePieceLines, CatLines());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

// A first piece in another letter case is a first piece; only another name is refused.
TEST_F(CatDialogTest, PickedFileWithAnotherNameIsRefusedAndEmptiesEverything) {
    TempDir dir;
    const auto names = WriteThreePieces(dir);
    dir.Write("_Split#000.exe", "stub");
    for (const char* picked : {"_Split#000.exe"}) {
        Type(dir.File("_Split#000"));
        ASSERT_EQ(3u, dialog.CatenationList().size());
        messenger.Clear();
        pickers.fileAnswer = dir.File(picked);
        Click(IDC_PICK_FIRST_PIECE);
        EXPECT_EQ((std::vector<ShownMessage>{{"No correct 1st spitted file name", Icon::Exclamation, Buttons::Ok}}),
                  messenger.shown)
            << "picked " << picked;
        EXPECT_EQ("", dialog.FirstPiecePath()) << "picked " << picked;
        EXPECT_EQ("", EditText()) << "a failed pick empties the edit; picked " << picked;
        EXPECT_TRUE(dialog.CatenationList().empty()) << "picked " << picked;
        EXPECT_TRUE(CatLines().empty()) << "picked " << picked;
    }
}

TEST_F(CatDialogTest, StartCatWithNothingChosenShowsThreeMessagesAndJoinsNothing) {
    TempDir dir;
    dir.Enter();
    Click(IDC_START_CAT);
    ASSERT_EQ(3u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ((ShownMessage{"No correct 1st spitted file name", Icon::Exclamation, Buttons::Ok}), messenger.shown[0]);
    EXPECT_EQ(0u, messenger.shown[1].text.rfind("Problem with File:\n", 0))
        << "the file check's own message comes second, got: " << messenger.shown[1];
    EXPECT_EQ((ShownMessage{"Not a normal file", Icon::Exclamation, Buttons::Ok}), messenger.shown[2]);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Native(""))) << "nothing may be written";
    EXPECT_TRUE(CatLines().empty());
}

TEST_F(CatDialogTest, StartCatAfterACancelledPickUsesTheEmptyPathNotTheEdit) {
    TempDir dir;
    WriteThreePieces(dir);
    Type(dir.File("_Split#000"));
    pickers.fileAnswer = "";
    Click(IDC_PICK_FIRST_PIECE);
    dir.Enter();
    Click(IDC_START_CAT);
    EXPECT_EQ(3u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(dir.File("_Split#000"), EditText()) << "a failed start keeps the edit's text";
    EXPECT_TRUE(dialog.CatenationList().empty());
    EXPECT_TRUE(CatLines().empty()) << "the failed discovery empties IDC_CAT_LIST";
}
