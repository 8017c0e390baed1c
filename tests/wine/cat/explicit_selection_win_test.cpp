// "Select specific splitted files": the chosen order becomes the join order,
// "Start cat" glues it raw into a "File" name, and a cancel changes nothing.
#include <regex>

#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

const std::string kSelectionFilter("All (*.*)\0*.*\0_Split#nnn\0_Split#*\0", 34);

// The number-named output that a plain join reported, or empty.
std::string PlainOutputName(const ShownMessage& shown) {
    std::smatch match;
    const std::regex done("Catenated File: (File[0-9]+) done");
    if (shown.icon != Icon::Information || !std::regex_match(shown.text, match, done))
        return "";
    return match[1];
}

class SelectionTest : public CatDialogTest {
protected:
    void SetUp() override {
        CatDialogTest::SetUp();
        dir.Enter();
        dir.Write("a.bin", "alpha");
        dir.Write("b.bin", "bravo!");
        dir.Write("c.bin", "charlie");
        pickers.selection = {dir.File("c.bin"), dir.File("a.bin"), dir.File("b.bin")};
    }

    TempDir dir;
};

} // namespace

TEST_F(SelectionTest, ChosenOrderIsListedAndJoinedRawIntoAFileName) {
    Type("typed text");
    Click(IDC_SELECT_SPECIFIC);
    ASSERT_EQ(1u, pickers.asked.size());
    EXPECT_EQ("C:\\|Click Correct Sequence of Splitted Files|" + kSelectionFilter, pickers.asked[0]);
    EXPECT_TRUE(dialog.ExplicitSelection()) << "the marker of a selection";
    EXPECT_EQ(pickers.selection, dialog.CatenationList());
    EXPECT_EQ((std::vector<std::string>{"c.bin\t7 bytes", "a.bin\t5 bytes", "b.bin\t6 bytes"}), CatLines());
    EXPECT_EQ("typed text", EditText()) << "the edit is left alone";

    Click(IDC_START_CAT);
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    const std::string name = PlainOutputName(messenger.shown[0]);
    ASSERT_NE("", name) << "expected \"Catenated File: File<n> done\", got " << messenger.shown[0];
    EXPECT_EQ("charliealphabravo!", dir.Read(name)) << "click order, every byte";
    const std::vector<std::string> lines = CatLines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(name + "\t 18 bytes", lines[3]);
    EXPECT_EQ((std::vector<std::string>{dir.File(name)}), dialog.RejoinedPaths());
    EXPECT_EQ(500, SendMessageA(dialog.Item(IDC_CAT_LIST), LB_GETHORIZONTALEXTENT, 0, 0));
    EXPECT_EQ("", dialog.RecordedName()) << "a plain join reads no header";

    // A second press joins the same list again under a name that overwrites nothing.
    messenger.Clear();
    Click(IDC_START_CAT);
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    const std::string second = PlainOutputName(messenger.shown[0]);
    ASSERT_NE("", second) << messenger.shown[0];
    EXPECT_NE(name, second) << "the first result is kept";
    EXPECT_EQ("charliealphabravo!", dir.Read(second));
    EXPECT_EQ((std::vector<std::string>{dir.File(name), dir.File(second)}), dialog.RejoinedPaths());
    EXPECT_EQ(5u, CatLines().size());
    ExpectListInStep();
    EXPECT_TRUE(dialog.ExplicitSelection()) << "the selection stays until a first piece is named";
}

TEST_F(SelectionTest, SetWithHeaderChosenFileByFileKeepsItsHeader) {
    const std::string data = TestBytes(1500, 3);
    TempDir pieces;
    const auto names = WriteSet(pieces, "movie.avi", data, 1000);
    pickers.selection = PathsIn(pieces, names);
    Click(IDC_SELECT_SPECIFIC);
    Click(IDC_START_CAT);
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    const std::string name = PlainOutputName(messenger.shown[0]);
    ASSERT_NE("", name) << messenger.shown[0];
    EXPECT_EQ(HeaderFor(data, "movie.avi") + data, dir.Read(name)) << "a selection is joined raw, header included";
    EXPECT_FALSE(dir.Exists("movie.avi"));
}

TEST_F(SelectionTest, CancelledSelectionChangesNothing) {
    TempDir pieces;
    const auto names = WritePieces(pieces, "", TestBytes(1500), 1000);
    Type(pieces.File("_Split#000"));
    const std::vector<std::string> before = CatLines();
    pickers.confirmSelection = false;
    Click(IDC_SELECT_SPECIFIC);
    EXPECT_EQ(pieces.File("_Split#000"), dialog.FirstPiecePath());
    EXPECT_EQ(PathsIn(pieces, names), dialog.CatenationList());
    EXPECT_EQ(before, CatLines());

    // And after a selection, a cancel keeps the selection.
    pickers.confirmSelection = true;
    Click(IDC_SELECT_SPECIFIC);
    pickers.confirmSelection = false;
    Click(IDC_SELECT_SPECIFIC);
    EXPECT_TRUE(dialog.ExplicitSelection());
    EXPECT_EQ(pickers.selection, dialog.CatenationList());
    EXPECT_EQ(3u, CatLines().size());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(SelectionTest, NamingAFirstPieceEndsTheSelection) {
    TempDir pieces;
    const auto names = WritePieces(pieces, "", TestBytes(1500), 1000);
    Click(IDC_SELECT_SPECIFIC);
    Click(IDC_START_CAT);
    ASSERT_EQ(4u, CatLines().size());
    Type(pieces.File("_Split#000"));
    EXPECT_EQ(pieces.File("_Split#000"), dialog.FirstPiecePath());
    EXPECT_EQ(PathsIn(pieces, names), dialog.CatenationList());
    EXPECT_EQ((std::vector<std::string>{"_Split#000\t 1000 bytes", "_Split#001\t 500 bytes"}), CatLines());
    EXPECT_TRUE(dialog.RejoinedPaths().empty()) << "the reset list shows no rejoined file";
}

TEST_F(SelectionTest, UnreadableChoiceIsListedWithoutSizeAndStopsTheJoin) {
    pickers.selection = {dir.File("a.bin"), dir.File("gone.bin"), dir.File("b.bin")};
    Click(IDC_SELECT_SPECIFIC);
    EXPECT_EQ((std::vector<std::string>{"a.bin\t5 bytes", "gone.bin\t", "b.bin\t6 bytes"}), CatLines());
    Click(IDC_START_CAT);
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(0u, messenger.shown[0].text.rfind("Error on Subroutine: CatFiles\n", 0)) << messenger.shown[0];
    EXPECT_NE(std::string::npos, messenger.shown[0].text.find("gone.bin")) << messenger.shown[0];
    EXPECT_EQ(3u, CatLines().size()) << "a failed join adds no line";
    EXPECT_TRUE(dialog.RejoinedPaths().empty());
}

TEST_F(SelectionTest, EmptyConfirmedSelectionMakesStartCatDoNothing) {
    pickers.selection.clear();
    Click(IDC_SELECT_SPECIFIC);
    EXPECT_TRUE(dialog.ExplicitSelection());
    Click(IDC_START_CAT);
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
    EXPECT_TRUE(CatLines().empty());
}
