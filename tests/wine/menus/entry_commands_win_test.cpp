// The commands on one entry of the catenate list box: File Pos Up and Down,
// File Info of a first piece, and one file's size and CRC-32.
#include "tests/wine/menus/menu_fixture.h"

namespace {

const ShownMessage kOneFileOnly{"Please select one file only", Icon::Information, Buttons::Ok};
const ShownMessage kNotAFirstPiece{"Not a _Split#000 file", Icon::Exclamation, Buttons::Ok};

class EntryCommands : public MenuTest {
protected:
    // Three files picked in the order a, b, c.
    void SelectThree() {
        files = WriteFiles(dir, {"a", "b", "c"});
        SelectExplicitly(files);
        ASSERT_EQ((Lines{"a", "b", "c"}), ListNames(IDC_CAT_LIST));
    }
    void ExpectOrder(const Lines& names, const char* why) {
        EXPECT_EQ(names, ListNames(IDC_CAT_LIST)) << why;
        Paths paths;
        for (const std::string& name : names)
            paths.push_back(dir.File(name));
        EXPECT_EQ(paths, dialog.CatenationList()) << why << ": the catenation list differs from the list box";
    }

    TempDir dir;
    Paths files;
};

} // namespace

TEST_F(EntryCommands, PosUpSwapsWithTheEntryAbove) {
    SelectThree();
    Select(IDC_CAT_LIST, {2});
    Choose(IDM_CAT_POS_UP);
    ExpectOrder({"a", "c", "b"}, "one step up");
    EXPECT_EQ(std::vector<int>{1}, Selected(IDC_CAT_LIST)) << "the moved entry stays selected";
    Choose(IDM_CAT_POS_UP);
    ExpectOrder({"c", "a", "b"}, "another step up");
    Choose(IDM_CAT_POS_UP);
    ExpectOrder({"c", "a", "b"}, "the first entry goes no higher");
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(EntryCommands, PosDownMirrorsPosUp) {
    SelectThree();
    Select(IDC_CAT_LIST, {0});
    Choose(IDM_CAT_POS_DOWN);
    ExpectOrder({"b", "a", "c"}, "one step down");
    EXPECT_EQ(std::vector<int>{1}, Selected(IDC_CAT_LIST)) << "the moved entry stays selected";
    Choose(IDM_CAT_POS_DOWN);
    ExpectOrder({"b", "c", "a"}, "another step down");
    Choose(IDM_CAT_POS_DOWN);
    ExpectOrder({"b", "c", "a"}, "the last entry goes no lower");
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(EntryCommands, PosUpAndDownNeedExactlyOneSelectedEntry) {
    SelectThree();
    Select(IDC_CAT_LIST, {});
    Choose(IDM_CAT_POS_UP);
    Choose(IDM_CAT_POS_DOWN);
    ExpectOrder({"a", "b", "c"}, "nothing selected");
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();

    Select(IDC_CAT_LIST, {1, 2});
    Choose(IDM_CAT_POS_UP);
    Choose(IDM_CAT_POS_DOWN);
    ExpectOrder({"a", "b", "c"}, "two selected");
    EXPECT_EQ((std::vector<ShownMessage>{kOneFileOnly, kOneFileOnly}), messenger.shown);
}

TEST_F(EntryCommands, ARejoinedFilesEntryHasNoPlaceInTheJoinOrder) {
    SelectThree();
    dir.Enter();
    StartCat();
    ASSERT_EQ(4u, ListLines(IDC_CAT_LIST).size())
        << "the join added no line: " << ::testing::PrintToString(messenger.shown);
    ASSERT_EQ(1u, dialog.RejoinedPaths().size());
    const Lines before = ListLines(IDC_CAT_LIST);

    Select(IDC_CAT_LIST, {3});
    Choose(IDM_CAT_POS_UP);
    EXPECT_EQ(before, ListLines(IDC_CAT_LIST)) << "Pos Up on the rejoined file's entry";
    Select(IDC_CAT_LIST, {2});
    Choose(IDM_CAT_POS_DOWN);
    EXPECT_EQ(before, ListLines(IDC_CAT_LIST)) << "Pos Down on the last entry of the catenation list";
    EXPECT_EQ(files, dialog.CatenationList());
}

TEST_F(EntryCommands, FileInfoShowsTheHeaderOfAFirstPiece) {
    dir.Write("_Split#000", "1A2B3C#data.bin;first bytes of data");
    dir.Write("_Split#001", "more data");
    Discover(dir.File("_Split#000"));
    ASSERT_EQ(2u, ListLines(IDC_CAT_LIST).size());

    Select(IDC_CAT_LIST, {0});
    Choose(IDM_CAT_FILE_INFO);
    Select(IDC_CAT_LIST, {1});
    Choose(IDM_CAT_FILE_INFO);
    Select(IDC_CAT_LIST, {0, 1});
    Choose(IDM_CAT_FILE_INFO);
    Select(IDC_CAT_LIST, {});
    Choose(IDM_CAT_FILE_INFO);

    EXPECT_EQ((std::vector<ShownMessage>{
                  {"Original File Name:\ndata.bin\n\nCRC32 in hex: 1A2B3C", Icon::Information, Buttons::Ok},
                  kNotAFirstPiece, // piece 001
                  kOneFileOnly,
              }),
              messenger.shown);
}

TEST_F(EntryCommands, FileInfoRefusesASelfCatenatingFirstPiece) {
    SelectExplicitly(WriteFiles(dir, {"_Split#000.exe", "_Split#001"}));
    Select(IDC_CAT_LIST, {0});
    Choose(IDM_CAT_FILE_INFO);
    EXPECT_EQ(std::vector<ShownMessage>{kNotAFirstPiece}, messenger.shown);
}

TEST_F(EntryCommands, FileInfoOnAFirstPieceThatCannotBeOpened) {
    dir.Write("_Split#000", "1#a;");
    Discover(dir.File("_Split#000"));
    ASSERT_EQ(1u, ListLines(IDC_CAT_LIST).size());
    std::filesystem::remove(dir.Native("_Split#000"));
    Select(IDC_CAT_LIST, {0});

    Choose(IDM_CAT_FILE_INFO);

    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(Icon::Hand, messenger.shown[0].icon);
    EXPECT_NE(std::string::npos, messenger.shown[0].text.find(dir.File("_Split#000")))
        << "the file error's text names the file: " << messenger.shown[0].text;
}

TEST_F(EntryCommands, SizeAndCrcOfAFile) {
    dir.Write("nine", "123456789");
    SelectExplicitly({dir.File("nine")});
    Select(IDC_CAT_LIST, {0});

    Choose(IDM_CAT_SIZE_AND_CRC);

    EXPECT_EQ((std::vector<ShownMessage>{{"File:\n" + dir.File("nine") + "\n\nbytes: 9\nCRC32 in hex: CBF43926",
                                          Icon::Information, Buttons::Ok}}),
              messenger.shown);
}

TEST_F(EntryCommands, SizeAndCrcOfAMissingFile) {
    SelectExplicitly(WriteFiles(dir, {"gone", "kept"}));
    std::filesystem::remove(dir.Native("gone"));
    Select(IDC_CAT_LIST, {0});

    Choose(IDM_CAT_SIZE_AND_CRC);

    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(0u, messenger.shown[0].text.rfind("Can't read File:\n" + dir.File("gone") + "\n\n", 0))
        << "no size or CRC made up for a file that is not there, got " << messenger.shown[0];
    EXPECT_GT(messenger.shown[0].text.size(), ("Can't read File:\n" + dir.File("gone") + "\n\n").size())
        << "the system's own text follows";
    EXPECT_EQ(Icon::Hand, messenger.shown[0].icon);
}

TEST_F(EntryCommands, SizeAndCrcOfAnEmptyFileIsNoFailure) {
    dir.Write("empty", "");
    SelectExplicitly({dir.File("empty")});
    Select(IDC_CAT_LIST, {0});

    Choose(IDM_CAT_SIZE_AND_CRC);

    EXPECT_EQ((std::vector<ShownMessage>{
                  {"File:\n" + dir.File("empty") + "\n\nbytes: 0\nCRC32 in hex: 0", Icon::Information, Buttons::Ok}}),
              messenger.shown)
        << "a CRC of 0 measured is not a CRC that could not be measured";
}
