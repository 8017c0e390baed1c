// Copy, move and delete on the selected entries of either list box: the shell
// does the work, the list boxes and the catenation list follow the result.
#include <algorithm>

#include "tests/wine/menus/menu_fixture.h"

namespace {

class FileOperations : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        closer_.emplace(dialog.Handle());
    }
    void TearDown() override {
        closer_.reset();
        EXPECT_TRUE(StrayBoxCloser::Seen().empty())
            << "the shell opened a box nobody expected: " << StrayBoxCloser::Seen().front();
    }

    // A discovered set of five pieces in dir.
    Paths DiscoverFivePieces(const TempDir& dir) {
        WriteSplitSet(dir, TestBytes(500), "data.bin", 5);
        Discover(dir.File("_Split#000"));
        EXPECT_EQ(5u, dialog.CatenationList().size()) << "the set was not discovered";
        return dialog.CatenationList();
    }

    std::optional<StrayBoxCloser> closer_;
};

} // namespace

TEST_F(FileOperations, CopyOfThreeSelectedPieces) {
    TempDir source, target;
    const Paths pieces = DiscoverFivePieces(source);
    ShowSplitList(source.File("big.bin"), {"_Split#000"});
    Select(IDC_CAT_LIST, {0, 2, 4});
    pickers.folderAnswer = target.Path();

    Choose(IDM_CAT_COPY);

    EXPECT_EQ(Lines{"Select a destination folder"}, pickers.folderTitles);
    for (int n : {0, 2, 4})
        EXPECT_EQ(source.Read(PieceName(n)), target.Read(PieceName(n))) << PieceName(n) << " was not copied";
    for (int n : {1, 3})
        EXPECT_FALSE(target.Exists(PieceName(n))) << PieceName(n) << " was not selected";
    EXPECT_TRUE(source.Exists(PieceName(0))) << "a copy keeps its source";
    EXPECT_EQ(std::vector<int>{}, Selected(IDC_CAT_LIST)) << "the copied entries stay selected";
    EXPECT_EQ(5u, ListLines(IDC_CAT_LIST).size());
    EXPECT_EQ(Lines{}, ListLines(IDC_SPLIT_LIST)) << "the other list box is emptied";
    EXPECT_EQ(pieces, dialog.CatenationList()) << "a copy leaves the catenation list alone";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(FileOperations, CopyFromTheSplitListKeepsTheCatenationList) {
    TempDir source, target;
    const Paths pieces = DiscoverFivePieces(source);
    ListSplitPieces(source.File("big.bin"));
    SelectNamed(IDC_SPLIT_LIST, "_Split#001");
    pickers.folderAnswer = target.Path();

    Choose(IDM_SPLIT_COPY);

    EXPECT_EQ(source.Read("_Split#001"), target.Read("_Split#001"));
    EXPECT_FALSE(target.Exists("_Split#000"));
    EXPECT_EQ(std::vector<int>{}, Selected(IDC_SPLIT_LIST));
    EXPECT_EQ(Lines{}, ListLines(IDC_CAT_LIST)) << "the catenate list box is emptied";
    EXPECT_EQ(pieces, dialog.CatenationList()) << "emptying the list box does not touch the catenation list";
}

TEST_F(FileOperations, ThePickerComesFirstAndACancelOrNoSelectionDoesNothing) {
    TempDir source, target;
    const Paths pieces = DiscoverFivePieces(source);
    Select(IDC_CAT_LIST, {1});
    ShowSplitList(source.File("big.bin"), {"_Split#000"});

    Choose(IDM_CAT_COPY); // picker cancelled
    Choose(IDM_CAT_MOVE);
    EXPECT_EQ(2u, pickers.folderTitles.size()) << "each command asks for a folder first";
    EXPECT_EQ(std::vector<int>{1}, Selected(IDC_CAT_LIST));
    EXPECT_EQ(1u, ListLines(IDC_SPLIT_LIST).size()) << "a cancelled pick changes nothing";

    pickers.folderAnswer = target.Path();
    Select(IDC_CAT_LIST, {});
    Choose(IDM_CAT_MOVE);
    Choose(IDM_CAT_DELETE);
    EXPECT_EQ(3u, pickers.folderTitles.size()) << "the folder is asked for before the selection is looked at";
    EXPECT_EQ(5u, ListLines(IDC_CAT_LIST).size());
    EXPECT_EQ(1u, ListLines(IDC_SPLIT_LIST).size()) << "without a selection nothing happens";
    EXPECT_TRUE(source.Exists("_Split#001"));
    EXPECT_EQ(pieces, dialog.CatenationList());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(FileOperations, MoveOfTheSecondAndFourthOfFive) {
    TempDir source, target;
    const Paths files = WriteFiles(source, {"e1", "e2", "e3", "e4", "e5"});
    SelectExplicitly(files);
    ShowSplitList(source.File("big.bin"), {"_Split#000"});
    const std::string second = source.Read("e2"), fourth = source.Read("e4");
    Select(IDC_CAT_LIST, {1, 3});
    pickers.folderAnswer = target.Path();

    Choose(IDM_CAT_MOVE);

    EXPECT_EQ((Lines{"e1", "e3", "e5"}), ListNames(IDC_CAT_LIST));
    EXPECT_EQ((Paths{files[0], files[2], files[4]}), dialog.CatenationList());
    EXPECT_EQ(second, target.Read("e2"));
    EXPECT_EQ(fourth, target.Read("e4"));
    EXPECT_FALSE(source.Exists("e2")) << "a move takes the file away";
    EXPECT_FALSE(source.Exists("e4"));
    EXPECT_TRUE(source.Exists("e3"));
    EXPECT_EQ(Lines{}, ListLines(IDC_SPLIT_LIST)) << "the other list box is emptied";
    EXPECT_TRUE(dialog.ExplicitSelection()) << "the first-piece path is not changed";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(FileOperations, DeleteIsImmediateAndKeepsTheListsAlike) {
    TempDir source;
    const Paths pieces = DiscoverFivePieces(source);
    Select(IDC_CAT_LIST, {0, 3});

    Choose(IDM_CAT_DELETE);

    EXPECT_TRUE(pickers.folderTitles.empty()) << "delete asks for no folder";
    EXPECT_TRUE(messenger.shown.empty()) << "delete asked or told something: " << messenger.shown.front();
    EXPECT_FALSE(source.Exists("_Split#000"));
    EXPECT_FALSE(source.Exists("_Split#003"));
    EXPECT_TRUE(source.Exists("_Split#001"));
    EXPECT_EQ((Lines{"_Split#001", "_Split#002", "_Split#004"}), ListNames(IDC_CAT_LIST));
    EXPECT_EQ((Paths{pieces[1], pieces[2], pieces[4]}), dialog.CatenationList());
}

TEST_F(FileOperations, DeleteFromTheSplitListTakesOnlyThoseFilesFromTheCatenationList) {
    TempDir source, elsewhere;
    const Paths pieces = DiscoverFivePieces(source);
    elsewhere.Write("_Split#002", "same name, another folder");
    ListSplitPieces(source.File("big.bin"));
    SelectNamed(IDC_SPLIT_LIST, "_Split#002");

    Choose(IDM_SPLIT_DELETE);

    EXPECT_FALSE(source.Exists("_Split#002"));
    EXPECT_TRUE(elsewhere.Exists("_Split#002"));
    const Lines left = ListNames(IDC_SPLIT_LIST);
    EXPECT_EQ(4u, left.size());
    EXPECT_EQ(left.end(), std::find(left.begin(), left.end(), "_Split#002"));
    EXPECT_EQ(4u, dialog.SplitPaths().size()) << "the paths go with their lines";
    EXPECT_EQ(Lines{}, ListLines(IDC_CAT_LIST));
    EXPECT_EQ((Paths{pieces[0], pieces[1], pieces[3], pieces[4]}), dialog.CatenationList())
        << "only the entry naming the deleted file goes";
}

TEST_F(FileOperations, AFailedShellOperationChangesNothing) {
    TempDir source;
    const Paths files = WriteFiles(source, {"x1", "x2"});
    SelectExplicitly(files);
    std::filesystem::remove(source.Native("x2")); // gone behind the dialog's back
    Select(IDC_CAT_LIST, {1});

    Choose(IDM_CAT_DELETE);

    EXPECT_EQ((std::vector<ShownMessage>{{"File delete failed", Icon::Exclamation, Buttons::Ok}}), messenger.shown);
    EXPECT_EQ((Lines{"x1", "x2"}), ListNames(IDC_CAT_LIST));
    EXPECT_EQ(files, dialog.CatenationList());
}

TEST_F(FileOperations, AFolderWithoutAPathIsNoDestination) {
    TempDir source;
    const Paths files = WriteFiles(source, {"y1"});
    SelectExplicitly(files);
    Select(IDC_CAT_LIST, {0});
    pickers.folderAnswer = ""; // a virtual folder such as the Control Panel

    Choose(IDM_CAT_MOVE);

    EXPECT_EQ((std::vector<ShownMessage>{{"File move failed", Icon::Exclamation, Buttons::Ok}}), messenger.shown);
    EXPECT_TRUE(source.Exists("y1"));
    EXPECT_EQ(files, dialog.CatenationList());
}

TEST_F(FileOperations, ARejoinedFileIsAddressedByItsOwnPath) {
    TempDir pieces, work;
    const std::string original = TestBytes(700, 7);
    WriteSplitSet(pieces, original, "data.bin", 3);
    pieces.Write("data.bin", "a file of the same name beside the pieces");
    work.Enter(); // the rejoined file lands in the current directory
    Discover(pieces.File("_Split#000"));
    StartCat();
    ASSERT_EQ(original, work.Read("data.bin"))
        << "the join did not write data.bin: " << ::testing::PrintToString(messenger.shown);
    ASSERT_EQ(Paths{work.File("data.bin")}, dialog.RejoinedPaths());
    ASSERT_EQ(4u, ListLines(IDC_CAT_LIST).size());
    const Paths set = dialog.CatenationList();
    messenger.Clear();

    Select(IDC_CAT_LIST, {3});
    Choose(IDM_CAT_SIZE_AND_CRC);
    ASSERT_FALSE(messenger.shown.empty());
    EXPECT_EQ("File:\n" + work.File("data.bin") + "\n\nbytes: 700\nCRC32 in hex: " + CrcTextOf(original),
              messenger.shown.back().text);

    Choose(IDM_CAT_DELETE);
    EXPECT_FALSE(work.Exists("data.bin")) << "the rejoined file itself was not deleted";
    EXPECT_TRUE(pieces.Exists("data.bin")) << "the file of the same name beside the pieces was deleted";
    EXPECT_EQ(Paths{}, dialog.RejoinedPaths());
    EXPECT_EQ(set, dialog.CatenationList());
    EXPECT_EQ((Lines{"_Split#000", "_Split#001", "_Split#002"}), ListNames(IDC_CAT_LIST));
}

TEST_F(FileOperations, ABareLargeFileNameListsItsPiecesInTheCurrentDirectory) {
    TempDir here;
    here.Write("_Split#001", "piece one");
    here.Enter();
    ListSplitPieces("big.bin");
    Select(IDC_SPLIT_LIST, {0});

    Choose(IDM_SPLIT_DELETE);

    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
    EXPECT_FALSE(here.Exists("_Split#001")) << "the listed piece beside a bare large-file name was not deleted";
    EXPECT_EQ(Lines{}, ListLines(IDC_SPLIT_LIST));
}

TEST_F(FileOperations, SplitListCommandsActOnTheFilesListedNotOnTheFolderOfNow) {
    TempDir listed, later;
    listed.Write("_Split#001", "listed");
    later.Write("_Split#001", "never listed");
    listed.Enter();
    ListSplitPieces("big.bin");
    // A later pick changes the current folder, and the name is edited.
    later.Enter();
    SendMessageA(dialog.Item(IDC_LARGE_FILE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("big.bin"));
    Select(IDC_SPLIT_LIST, {0});

    Choose(IDM_SPLIT_DELETE);

    EXPECT_FALSE(listed.Exists("_Split#001"));
    EXPECT_EQ("never listed", later.Read("_Split#001")) << "a file the user never saw listed was deleted";
}
