// Files from outside the dialog: a real WM_DROPFILES on either half, and files
// named on the command line at start.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

// A drop as the shell makes it: DROPFILES, then each path with its zero, then one more zero.
HDROP MakeDrop(const std::vector<std::string>& paths, POINT at) {
    size_t chars = 1;
    for (const std::string& path : paths)
        chars += path.size() + 1;
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->pt = at;
    files->fNC = FALSE;
    files->fWide = FALSE;
    char* text = reinterpret_cast<char*>(files + 1);
    for (const std::string& path : paths) {
        std::memcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class DropTest : public CatDialogTest {
protected:
    void SetUp() override {
        CatDialogTest::SetUp();
        dir.Write("movie.avi", TestBytes(2500, 5));
    }
    // The middle of a control, in the dialog's client coordinates.
    POINT On(int id) const {
        RECT r;
        GetWindowRect(dialog.Item(id), &r);
        POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ScreenToClient(dialog.Handle(), &middle);
        return middle;
    }
    // The dialog frees the drop (DragFinish), as it must for the shell's.
    void Drop(const std::vector<std::string>& paths, POINT at) {
        SendMessageA(dialog.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths, at)), 0);
    }

    TempDir dir;
};

} // namespace

TEST_F(DropTest, OnTheSplitHalfOneFileBecomesTheLargeFile) {
    Drop({dir.File("movie.avi")}, On(IDC_SPLIT_LIST));
    EXPECT_EQ(dir.File("movie.avi"), dialog.LargeFileName());
    EXPECT_EQ(dir.File("movie.avi"), dialog.ItemText(IDC_LARGE_FILE));
    EXPECT_EQ("# splits: 1", dialog.ItemText(IDC_SPLIT_COUNT)) << "as after a pick";
    EXPECT_TRUE(messenger.shown.empty());

    Drop({dir.File("movie.avi"), dir.File("movie.avi")}, On(IDC_LARGE_FILE));
    EXPECT_EQ((std::vector<ShownMessage>{{"Please select one file only", Icon::Information, Buttons::Ok}}),
              messenger.shown);
    EXPECT_EQ(dir.File("movie.avi"), dialog.LargeFileName());
}

TEST_F(DropTest, OnTheCatenateHalfALaterPieceBringsItsWholeSet) {
    WriteSet(dir, "movie.avi", TestBytes(2500, 5), 1000);
    Drop({dir.File("_Split#002")}, On(IDC_CAT_LIST));
    EXPECT_EQ(dir.File("_Split#000"), EditText());
    EXPECT_EQ(PathsIn(dir, {"_Split#000", "_Split#001", "_Split#002"}), dialog.CatenationList());
    EXPECT_TRUE(messenger.shown.empty());
    ExpectListInStep();

    Drop({dir.File("movie.avi")}, On(IDC_FIRST_PIECE));
    EXPECT_EQ((std::vector<ShownMessage>{{"No correct 1st spitted file name", Icon::Exclamation, Buttons::Ok}}),
              messenger.shown);
    EXPECT_EQ(3u, dialog.CatenationList().size()) << "a file that is no piece keeps the set chosen";
}

TEST_F(DropTest, SeveralFilesOnTheCatenateHalfAreJoinedInTheOrderGiven) {
    dir.Write("b", "bb");
    dir.Write("a", "a");
    const std::vector<std::string> order = PathsIn(dir, {"b", "movie.avi", "a"});
    Drop(order, On(IDC_START_CAT));
    EXPECT_TRUE(dialog.ExplicitSelection());
    EXPECT_EQ(order, dialog.CatenationList());
    EXPECT_EQ(3u, CatLines().size());
    EXPECT_TRUE(messenger.shown.empty());
}

namespace {

// The dialog created with files on its command line, once its posted start has run.
class StartFileTest : public ::testing::Test {
protected:
    void StartWith(const std::vector<std::string>& files) {
        InitCommonControlsOnce();
        dialog.SetStartFiles(files);
        ASSERT_TRUE(dialog.Create());
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    TempDir dir;
    RecordingMessenger messenger;
    ScriptedPickers pickers;
    MainDialog dialog{messenger, pickers};
};

} // namespace

TEST_F(StartFileTest, APieceOfASetStartsAsTheFirstPiece) {
    WriteSet(dir, "movie.avi", TestBytes(2500, 5), 1000);
    StartWith({dir.File("_SPLIT#001")});
    EXPECT_EQ(dir.File("_Split#000"), dialog.ItemText(IDC_FIRST_PIECE));
    EXPECT_EQ(3u, dialog.CatenationList().size());
    EXPECT_TRUE(dialog.ItemText(IDC_LARGE_FILE).empty());
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(StartFileTest, AnyOtherFileStartsAsTheLargeFile) {
    dir.Write("movie.avi", TestBytes(3000, 5));
    StartWith({dir.File("movie.avi")});
    EXPECT_EQ(dir.File("movie.avi"), dialog.ItemText(IDC_LARGE_FILE));
    EXPECT_EQ("# splits: 1", dialog.ItemText(IDC_SPLIT_COUNT));
    EXPECT_TRUE(dialog.ItemText(IDC_FIRST_PIECE).empty());
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(StartFileTest, AMissingFileGivesTheUsualMessageAndAnEmptyField) {
    StartWith({dir.File("gone.avi")});
    ASSERT_EQ(1u, messenger.shown.size());
    EXPECT_EQ(0u, messenger.shown[0].text.rfind("Problem with File:\n" + dir.File("gone.avi") + "\n\n", 0))
        << messenger.shown[0];
    EXPECT_TRUE(dialog.ItemText(IDC_LARGE_FILE).empty());
    EXPECT_TRUE(dialog.LargeFileName().empty());
}
