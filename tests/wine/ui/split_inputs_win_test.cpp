// The split half driven through its controls: size steps, the split-size
// text, the large file and its measurement, and the two options.
#include <windows.h>

#include "core/crc32.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/ui/dialog_fixture.h"

namespace {

std::string CrcHex(const std::string& bytes) {
    Crc32 crc;
    crc.Update(bytes.data(), static_cast<uint32_t>(bytes.size()), false);
    char text[16];
    wsprintfA(text, "%X", crc.Value());
    return text;
}

} // namespace

TEST_F(DialogTest, SizeFloppyThenTheUpArrowGivesStep2) {
    Type(IDC_SPLIT_SIZE, "5");
    Click(IDC_SIZE_FLOPPY);
    EXPECT_EQ("1457664", Text(IDC_SPLIT_SIZE));
    EXPECT_EQ("", Text(IDC_SIZE_STEP_LABEL));
    EXPECT_EQ(1457664, dialog.SplitSize());

    ClickArrow(true);
    EXPECT_EQ("200kB", Text(IDC_SIZE_STEP_LABEL));
    EXPECT_EQ("204800", Text(IDC_SPLIT_SIZE));
    EXPECT_EQ(204800, dialog.SplitSize());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(DialogTest, TheStepsWrapAroundAtBothEnds) {
    Click(IDC_SIZE_FLOPPY);
    ClickArrow(false);
    EXPECT_EQ("4MB + 0kB", Text(IDC_SIZE_STEP_LABEL)) << "down from step 1 wraps to step 40";
    EXPECT_EQ(4194304, dialog.SplitSize());
    ClickArrow(true);
    EXPECT_EQ("100kB", Text(IDC_SIZE_STEP_LABEL)) << "up from step 40 wraps to step 1";
    EXPECT_EQ(102400, dialog.SplitSize());
}

TEST_F(DialogTest, OnlyTheUpDownControlSetsASizeStep) {
    const HWND spin = dialog.Item(IDC_SIZE_STEP);
    SendMessageA(dialog.Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 14), reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ("1MB + 400kB", Text(IDC_SIZE_STEP_LABEL));
    EXPECT_EQ(1458176, dialog.SplitSize());
    SendMessageA(dialog.Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 0);
    EXPECT_EQ(1458176, dialog.SplitSize()) << "a scroll from elsewhere changes nothing";
    SendMessageA(dialog.Handle(), WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 2), reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ(1458176, dialog.SplitSize()) << "the end of a click changes nothing";
}

TEST_F(DialogTest, SplitSizeTexts) {
    struct Row {
        const char* text;
        int32_t size;
        bool complains;
    };
    const Row rows[] = {
        {"0", 0, true}, {"abc", 0, true},     {"-5", 0, true},        {"2147483648", 0, true},
        {"", 0, false}, {" 100", 100, false}, {"100abc", 100, false}, {"2147483647", 2147483647, false}};
    for (const Row& row : rows) {
        messenger.Clear();
        Type(IDC_SPLIT_SIZE, row.text);
        EXPECT_EQ(row.size, dialog.SplitSize()) << '"' << row.text << '"';
        EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT)) << '"' << row.text << '"';
        if (row.complains) {
            EXPECT_EQ((std::vector<ShownMessage>{{"Wrong number of bytes", Icon::Exclamation, Buttons::Ok}}),
                      messenger.shown)
                << '"' << row.text << '"';
        } else {
            EXPECT_TRUE(messenger.shown.empty()) << '"' << row.text << "\" showed " << messenger.shown.front();
        }
    }
}

TEST_F(DialogTest, TheCountFollowsFileAndSplitSize) {
    TempDir dir;
    dir.Write("big.bin", std::string(2915328, 'x'));
    dir.Write("big1.bin", std::string(2915329, 'x'));
    dir.Write("empty.bin", "");
    Type(IDC_LARGE_FILE, dir.File("big.bin"));
    EXPECT_EQ("# splits: 3", Text(IDC_SPLIT_COUNT)) << "the header pushes two full floppies over";
    Click(IDC_WITHOUT_CRC);
    EXPECT_EQ("# splits: 2", Text(IDC_SPLIT_COUNT));
    Type(IDC_LARGE_FILE, dir.File("big1.bin"));
    EXPECT_EQ("# splits: 3", Text(IDC_SPLIT_COUNT)) << "one byte more";
    Type(IDC_LARGE_FILE, dir.File("empty.bin"));
    EXPECT_EQ("# splits: 0", Text(IDC_SPLIT_COUNT)) << "without CRC no header is written";
    Click(IDC_SELF_CATENATE);
    EXPECT_EQ("# splits: 1", Text(IDC_SPLIT_COUNT)) << "catstub and header alone";
    Click(IDC_SELF_CATENATE);
    Type(IDC_SPLIT_SIZE, "1000");
    Type(IDC_LARGE_FILE, dir.File("big.bin"));
    EXPECT_EQ("# splits: 2916", Text(IDC_SPLIT_COUNT));

    Type(IDC_SPLIT_SIZE, "");
    Type(IDC_LARGE_FILE, dir.File("big1.bin"));
    EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT)) << "no split size, no count";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(DialogTest, ATypedMissingFileIsQuietUntilMeasured) {
    TempDir dir;
    const std::string missing = dir.File("missing.bin");
    Type(IDC_LARGE_FILE, missing);
    EXPECT_EQ(missing, dialog.LargeFileName());
    EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT));
    EXPECT_TRUE(messenger.shown.empty()) << "typing asks silently; got " << messenger.shown.front();

    Click(IDC_SIZE_AND_CRC);
    ASSERT_EQ(1u, messenger.shown.size());
    EXPECT_EQ(0u, messenger.shown[0].text.find("Problem with File:\n" + missing + "\n\n")) << messenger.shown[0];
    EXPECT_EQ(Icon::Exclamation, messenger.shown[0].icon);
    EXPECT_EQ("", Text(IDC_FILE_SIZE));
    EXPECT_EQ("", Text(IDC_FILE_CRC));
    EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT));
}

TEST_F(DialogTest, MeasuringARealFileShowsSizeAndCrc) {
    TempDir dir;
    const std::string bytes = TestBytes(3000, 7);
    dir.Write("data.bin", bytes);
    Type(IDC_SPLIT_SIZE, "1000");
    Type(IDC_LARGE_FILE, dir.File("data.bin"));
    Click(IDC_SIZE_AND_CRC);
    EXPECT_EQ("3000", Text(IDC_FILE_SIZE));
    EXPECT_EQ("Hex: " + CrcHex(bytes), Text(IDC_FILE_CRC));
    EXPECT_EQ(CrcHex(bytes), dialog.StoredCrcText());
    EXPECT_EQ("# splits: 4", Text(IDC_SPLIT_COUNT)) << "the header's bytes count too";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();

    // One character more names another file: the old measurement goes.
    Type(IDC_LARGE_FILE, dir.File("data.bin") + "x");
    EXPECT_EQ("", Text(IDC_FILE_SIZE));
    EXPECT_EQ("", Text(IDC_FILE_CRC));
    EXPECT_EQ("", dialog.StoredCrcText());
}

TEST_F(DialogTest, AnEmptyFileMeasuresAsZeroWithItsRealCrc) {
    TempDir dir;
    dir.Write("empty.bin", "");
    Type(IDC_LARGE_FILE, dir.File("empty.bin"));
    Click(IDC_SIZE_AND_CRC);
    EXPECT_EQ("0", Text(IDC_FILE_SIZE));
    EXPECT_EQ("# splits: 1", Text(IDC_SPLIT_COUNT)) << "the header alone fills one piece";
    EXPECT_EQ("Hex: 0", Text(IDC_FILE_CRC)) << "the CRC-32 of no bytes is 0, a real value";
    EXPECT_EQ("0", dialog.StoredCrcText());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(DialogTest, AnUnreadableFileGivesNoCrcAndTheDialogGoesOn) {
    TempDir dir;
    dir.Write("locked.bin", "abcdef");
    const HANDLE lock =
        CreateFileA(dir.File("locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    Type(IDC_LARGE_FILE, dir.File("locked.bin"));
    Click(IDC_SIZE_AND_CRC);
    EXPECT_EQ((std::vector<ShownMessage>{{"Can't calculate CRC32", Icon::Hand, Buttons::Ok}}), messenger.shown);
    EXPECT_EQ("6", Text(IDC_FILE_SIZE));
    EXPECT_EQ("", Text(IDC_FILE_CRC));
    EXPECT_EQ("", dialog.StoredCrcText());
    EXPECT_TRUE(IsWindow(dialog.Handle())) << "the dialog ended";
    CloseHandle(lock);

    Click(IDC_SIZE_AND_CRC);
    EXPECT_EQ("Hex: " + CrcHex("abcdef"), Text(IDC_FILE_CRC));
}

TEST_F(DialogTest, MeasuringWithoutALargeFile) {
    Click(IDC_SIZE_AND_CRC);
    EXPECT_EQ((std::vector<ShownMessage>{{"No large file selected", Icon::Exclamation, Buttons::Ok}}), messenger.shown);
    EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT));
}

TEST_F(DialogTest, PickingTheLargeFileAndCancelling) {
    TempDir dir;
    dir.Write("big.bin", std::string(2915329, 'y'));
    pickers.fileAnswer = dir.File("big.bin");
    Click(IDC_PICK_LARGE_FILE);
    EXPECT_EQ((std::vector<std::string>{"C:\\|Select a large file|"}), pickers.asked);
    EXPECT_EQ(dir.File("big.bin"), Text(IDC_LARGE_FILE));
    EXPECT_EQ(dir.File("big.bin"), dialog.LargeFileName());
    EXPECT_EQ("# splits: 3", Text(IDC_SPLIT_COUNT));

    pickers.fileAnswer.clear();
    Click(IDC_PICK_LARGE_FILE);
    EXPECT_EQ("", Text(IDC_LARGE_FILE)) << "a cancelled picker empties the name";
    EXPECT_EQ("", dialog.LargeFileName());
    EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT));
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST_F(DialogTest, TheTwoOptionsExcludeEachOther) {
    Click(IDC_WITHOUT_CRC);
    EXPECT_TRUE(Checked(IDC_WITHOUT_CRC));
    EXPECT_TRUE(dialog.WithoutCrc());
    Click(IDC_SELF_CATENATE);
    EXPECT_TRUE(Checked(IDC_SELF_CATENATE));
    EXPECT_FALSE(Checked(IDC_WITHOUT_CRC)) << "Self Catenate unchecks Without CRC";
    EXPECT_TRUE(dialog.SelfCatenate());
    EXPECT_FALSE(dialog.WithoutCrc());
    Click(IDC_WITHOUT_CRC);
    EXPECT_FALSE(Checked(IDC_SELF_CATENATE)) << "and the other way round";
    EXPECT_TRUE(dialog.WithoutCrc());
    EXPECT_FALSE(dialog.SelfCatenate());

    Click(IDC_WITHOUT_CRC);
    EXPECT_FALSE(dialog.WithoutCrc());
    EXPECT_FALSE(dialog.SelfCatenate()) << "unchecking one leaves the other off";
    Click(IDC_SELF_CATENATE);
    Click(IDC_SELF_CATENATE);
    EXPECT_FALSE(dialog.SelfCatenate());
    EXPECT_FALSE(Checked(IDC_WITHOUT_CRC));
}
