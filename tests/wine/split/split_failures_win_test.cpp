// "Start Split" refused or failing in the real dialog: the messages in order,
// nothing started or nothing passed off, and the dialog still there afterwards.
#include <windows.h>

#include <filesystem>

#include "tests/wine/split/split_dialog_fixture.h"
#include "tests/wine/split/split_test_paths.h"

namespace {

using Lines = std::vector<std::string>;

const char kErrorPrefix[] = "Error on Subroutine: OnBn_StartSplit\n";

} // namespace

TEST_F(SplitDialogTest, TheInputChecksRefuseInTheirOrderAndStartNothing) {
    const ShownMessage notLarger{"Large File <= Split Size", Icon::Exclamation, Buttons::Ok};

    Choose("equal.bin", TestBytes(1000), "1000");
    messenger.Clear();
    Click(IDC_START_SPLIT);
    EXPECT_EQ(std::vector<ShownMessage>{notLarger}, messenger.shown) << "a file exactly as large as a piece";

    Choose("larger.bin", TestBytes(1001), "");
    messenger.Clear();
    Click(IDC_START_SPLIT);
    EXPECT_EQ((std::vector<ShownMessage>{{"Wrong Splitting Size", Icon::Exclamation, Buttons::Ok}}), messenger.shown)
        << "an empty split-size edit gives split size 0";

    // Two faults at once: the size check comes first and alone.
    Choose("empty.bin", "", "");
    messenger.Clear();
    Click(IDC_START_SPLIT);
    EXPECT_EQ(std::vector<ShownMessage>{notLarger}, messenger.shown) << "an empty file with split size 0";

    // No name: the size cannot be taken, which says why, and the first check refuses.
    Type(IDC_SPLIT_SIZE, "1000");
    Type(IDC_LARGE_FILE, "");
    messenger.Clear();
    Click(IDC_START_SPLIT);
    ASSERT_EQ(2u, messenger.shown.size()) << "expected the file problem, then the refusal";
    EXPECT_EQ(0u, messenger.shown[0].text.rfind("Problem with File:\n", 0)) << messenger.shown[0];
    EXPECT_EQ(notLarger, messenger.shown[1]);

    EXPECT_TRUE(PieceNamesIn(dir.Path()).empty()) << "a refused split writes nothing";
    EXPECT_TRUE(ListLines().empty());
    ExpectSplitOver(0); // a refused split starts no job
}

TEST_F(SplitDialogTest, ALargeFileLockedByAWriterIsReportedAndNothingIsWritten) {
    Choose("busy.bin", TestBytes(3000), "1000");
    {
        // Not measured yet: the split cannot open it, and stops before it writes anything.
        LockedFile writer(dir.File("busy.bin"));
        ASSERT_TRUE(writer.IsLocked()) << "error " << GetLastError();
        messenger.Clear();
        Click(IDC_START_SPLIT);
        ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
        EXPECT_EQ(0u, messenger.shown[0].text.rfind("Error on Subroutine: OnBn_StartSplit\n", 0)) << messenger.shown[0];
        EXPECT_NE(std::string::npos, messenger.shown[0].text.find(dir.File("busy.bin"))) << messenger.shown[0];
        EXPECT_EQ("", dialog.StoredCrcText());
    }
    EXPECT_TRUE(PieceNamesIn(dir.Path()).empty()) << "nothing is written without a CRC";
    ExpectSplitOver(0);

    // Measured before the writer came: the split itself cannot open it.
    Click(IDC_SIZE_AND_CRC);
    ASSERT_FALSE(dialog.StoredCrcText().empty());
    {
        LockedFile writer(dir.File("busy.bin"));
        ASSERT_TRUE(writer.IsLocked()) << "error " << GetLastError();
        messenger.Clear();
        Click(IDC_START_SPLIT);
    }
    ASSERT_EQ(1u, messenger.shown.size()) << "expected one file error";
    EXPECT_EQ(0u, messenger.shown[0].text.rfind(kErrorPrefix, 0)) << messenger.shown[0];
    EXPECT_NE(std::string::npos, messenger.shown[0].text.find("busy.bin")) << "the description names the file";
    EXPECT_EQ(Icon::Exclamation, messenger.shown[0].icon);
    EXPECT_TRUE(PieceNamesIn(dir.Path()).empty());
    EXPECT_TRUE(ListLines().empty()) << "nothing written, nothing listed";
    ExpectSplitOver(0);
    EXPECT_TRUE(IsWindow(dialog.Handle())) << "the dialog goes on after a file error";

    // And once the writer is gone, the same inputs split.
    messenger.Clear();
    Click(IDC_START_SPLIT);
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
    EXPECT_EQ(4u, ListLines().size());
}

TEST_F(SplitDialogTest, APieceThatCannotBeCreatedStopsTheSplitAndDeletesWhatItWrote) {
    std::filesystem::create_directory(dir.Native("_Split#001"));
    Choose("data.bin", TestBytes(2500, 9), "1000");
    Click(IDC_WITHOUT_CRC);

    Click(IDC_START_SPLIT);

    ASSERT_EQ(1u, messenger.shown.size()) << "expected one file error";
    const ShownMessage& error = messenger.shown[0];
    EXPECT_EQ(0u, error.text.rfind(kErrorPrefix, 0)) << error;
    EXPECT_GT(error.text.size(), sizeof kErrorPrefix) << "a description follows the prefix";
    EXPECT_NE(std::string::npos, error.text.find("_Split#001")) << "the description names the piece: " << error;
    EXPECT_EQ(Icon::Exclamation, error.icon);
    EXPECT_TRUE(IsWindow(dialog.Handle())) << "the dialog goes on after a file error";
    ExpectSplitOver(0); // the error came within the first block read: none of it counts as done
    EXPECT_FALSE(dir.Exists("_Split#000")) << "a set cut short is no set: the piece written before the error goes";
    EXPECT_FALSE(dir.Exists("_Split#002")) << "the split ends at the first error";
}

TEST_F(SplitDialogTest, TooManyPiecesIsRefusedBeforeWritingAndLeavesTheListAsItWas) {
    Choose("data.bin", TestBytes(3000), "1000");
    Click(IDC_WITHOUT_CRC);
    Click(IDC_START_SPLIT);
    const Lines listed = ListLines();
    ASSERT_EQ(3u, listed.size());

    Choose("many.bin", TestBytes(1001), "1");
    messenger.Clear();
    Click(IDC_START_SPLIT);

    EXPECT_EQ(
        (std::vector<ShownMessage>{{"Too many Splitted Files.\nSplit  NOT  Successful", Icon::Hand, Buttons::Ok}}),
        messenger.shown);
    EXPECT_EQ(listed, ListLines()) << "a refused split does not refill the list";
    EXPECT_EQ(3u, PieceNamesIn(dir.Path()).size()) << "nothing new is written";
    ExpectSplitOver(1000); // refused before any job began: the bar stays where the last split left it
}

TEST_F(SplitDialogTest, AFileChangedSinceItWasMeasuredIsMeasuredAfreshNextTime) {
    Choose("data.bin", TestBytes(2500, 1), "1000");
    ASSERT_TRUE(dialog.OnBn_SizeAndCrc());
    dialog.WaitForJob();
    dir.Write("data.bin", TestBytes(2500, 2)); // changed after the measurement, same size
    messenger.Clear();

    Click(IDC_START_SPLIT);
    ASSERT_EQ(1u, messenger.shown.size());
    EXPECT_NE(std::string::npos, messenger.shown[0].text.find("Changed while it was being split"))
        << messenger.shown[0];
    EXPECT_EQ("", dialog.StoredCrcText()) << "the stale CRC would fail every retry the same way";
    EXPECT_EQ("", Text(IDC_FILE_CRC));

    messenger.Clear();
    Click(IDC_START_SPLIT);
    EXPECT_TRUE(messenger.shown.empty()) << "the failed attempt left no pieces to ask about";
    EXPECT_EQ(3u, PieceNamesIn(dir.Path()).size());
}
