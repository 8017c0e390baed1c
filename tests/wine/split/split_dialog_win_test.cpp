// "Start Split" in the real dialog: the pieces it writes, the list it shows,
// and a self-catenating first piece that rejoins its set under catstub.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "split/split_engine.h"
#include "tests/wine/split/split_dialog_fixture.h"
#include "tests/wine/split/split_test_paths.h"
#include "tests/wine/support/box_robot.h"

namespace {

using Lines = std::vector<std::string>;

std::string Line(const std::string& name, size_t size) {
    return name + "\t " + std::to_string(size) + " bytes";
}

} // namespace

TEST_F(SplitDialogTest, SelfCatenateWritesAFirstPieceThatRejoinsTheSetUnderCatstub) {
    const std::string data = TestBytes(300000, 7);
    Choose("movie.avi", data, "100000");
    Click(IDC_SELF_CATENATE);
    ASSERT_TRUE(Checked(IDC_SELF_CATENATE));

    Click(IDC_START_SPLIT);

    EXPECT_TRUE(messenger.shown.empty()) << "a split that works says nothing; it showed " << messenger.shown.front();
    const std::string image = ReadWholeFile(CatstubPath());
    ASSERT_EQ(45056u, image.size()) << "catstub.exe at " << CatstubPath();
    const std::string header = CrcTextOf(data) + "#movie.avi;";
    const size_t total = image.size() + header.size() + data.size();
    EXPECT_EQ((Lines{Line("_Split#000.exe", 100000), Line("_Split#001", 100000), Line("_Split#002", 100000),
                     Line("_Split#003", total - 300000)}),
              ListLines());
    ExpectSplitOver(1000); // only a split that succeeds shows the bar full

    const std::string first = dir.Read("_Split#000.exe");
    ASSERT_EQ(100000u, first.size());
    EXPECT_TRUE(first.compare(0, image.size(), image) == 0) << "the first piece begins with all of catstub.exe";
    EXPECT_EQ(header, first.substr(image.size(), header.size())) << "the header follows the image at once";
    EXPECT_TRUE(first + dir.Read("_Split#001") + dir.Read("_Split#002") + dir.Read("_Split#003") ==
                image + header + data)
        << "the pieces hold image, header and data, in that order";

    const RobotResult result = RunFirstPieceAside(dir, "movie.avi");

    ASSERT_TRUE(result.started) << "CreateProcess error " << result.startError;
    EXPECT_FALSE(result.timedOut) << "the first piece was still running at the deadline";
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ((Lines{"User Confirm: Self Catenate Splited Files?", "Info: CRC check OK. Catenated File OK"}),
              result.Lines());
    EXPECT_TRUE(dir.Read("movie.avi") == data) << "the rejoined file differs from the large file";
}

TEST_F(SplitDialogTest, WithHeaderTheFirstPieceBeginsWithCrcAndNameAndCountsThemInItsSize) {
    const std::string data = TestBytes(2500, 3);
    Choose("data.bin", data, "1000");

    Click(IDC_START_SPLIT);

    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
    const std::string header = CrcTextOf(data) + "#data.bin;";
    EXPECT_EQ((Lines{Line("_Split#000", 1000), Line("_Split#001", 1000), Line("_Split#002", 500 + header.size())}),
              ListLines());
    EXPECT_EQ(header + data.substr(0, 1000 - header.size()), dir.Read("_Split#000"));
    EXPECT_EQ(data.substr(1000 - header.size(), 1000), dir.Read("_Split#001"));
    EXPECT_FALSE(dir.Exists("_Split#000.exe"));
}

TEST_F(SplitDialogTest, RecoveryFilesAreWrittenBesideThePiecesAndTold) {
    Choose("data.bin", TestBytes(400000, 6), "100000");
    Type(IDC_RECOVERY_COUNT, "1");

    Click(IDC_START_SPLIT);

    ASSERT_EQ(1u, messenger.shown.size());
    EXPECT_EQ("Split Successful.\nRecovery files: 3 (104564 bytes); they restore up to 1 lost or damaged piece.",
              messenger.shown.front().text);
    EXPECT_EQ(Icon::Information, messenger.shown.front().icon);
    EXPECT_EQ(8u, ListLines().size()) << "five pieces and three recovery files listed";
    for (const char* name : {"_Split#.par2", "_Split#.vol000+001.par2", "_Split#.vol001+001.par2"})
        EXPECT_TRUE(dir.Exists(name)) << name;
}

TEST_F(SplitDialogTest, WithoutCrcThePiecesHoldTheDataAlone) {
    const std::string data = TestBytes(2500, 4);
    Choose("data.bin", data, "1000");
    Click(IDC_WITHOUT_CRC);
    ASSERT_TRUE(Checked(IDC_WITHOUT_CRC));

    Click(IDC_START_SPLIT);

    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
    EXPECT_EQ((Lines{Line("_Split#000", 1000), Line("_Split#001", 1000), Line("_Split#002", 500)}), ListLines());
    EXPECT_EQ(data.substr(0, 1000), dir.Read("_Split#000")) << "no header before the data";
    EXPECT_EQ(data.substr(2000), dir.Read("_Split#002"));
}

TEST_F(SplitDialogTest, AnUnmeasuredFileIsMeasuredFirstAndTheDialogShowsIt) {
    const std::string data = TestBytes(5000, 5);
    Choose("data.bin", data, "2000");
    ASSERT_EQ("", dialog.StoredCrcText());
    // Even a split without header shows the size and the CRC it took while it wrote the pieces.
    Click(IDC_WITHOUT_CRC);

    Click(IDC_START_SPLIT);

    EXPECT_EQ(CrcTextOf(data), dialog.StoredCrcText());
    EXPECT_EQ("Hex: " + CrcTextOf(data), Text(IDC_FILE_CRC));
    EXPECT_EQ("5000", Text(IDC_FILE_SIZE));
    EXPECT_EQ((Lines{Line("_Split#000", 2000), Line("_Split#001", 2000), Line("_Split#002", 1000)}), ListLines());
}

TEST_F(SplitDialogTest, AMeasuredCrcIsTakenAsItIsAndAFileChangedSinceIsReported) {
    const std::string before = TestBytes(3000, 6);
    Choose("data.bin", before, "1000");
    Click(IDC_SIZE_AND_CRC);
    ASSERT_EQ(CrcTextOf(before), dialog.StoredCrcText());
    const std::string after = TestBytes(3000, 60); // same size, other bytes
    dir.Write("data.bin", after);

    Click(IDC_START_SPLIT);

    ASSERT_EQ(1u, messenger.shown.size()) << "the split must tell that its set does not match";
    EXPECT_NE(std::string::npos, messenger.shown[0].text.find("Changed while it was being split"))
        << messenger.shown[0];
    EXPECT_NE(std::string::npos,
              messenger.shown[0].text.find(".\nThe pieces it had written were deleted.\nSplit  NOT  Successful"))
        << messenger.shown[0];
    EXPECT_TRUE(PieceNamesIn(dir.Path()).empty()) << "pieces of another file's set are deleted";
    EXPECT_TRUE(ListLines().empty());
    ExpectSplitOver(999); // every byte was read, yet a split that failed never shows the bar full
}

// Handles the dialog's messages until the job ends, noting the bar's position after each one: the
// job can post its steps faster than they are handled, so a look only between batches may see none.
static std::vector<int> PumpWhileRunning(const MainDialog& dialog) {
    std::vector<int> positions;
    const HWND bar = dialog.Item(IDC_SPLIT_PROGRESS);
    while (dialog.JobRunning()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
            positions.push_back(static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)));
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    positions.push_back(static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)));
    return positions;
}

TEST_F(SplitDialogTest, ALongSplitLeavesTheWindowLiveWithRealProgressAndCancelRemovesItsPieces) {
    Choose("big.bin", std::string(160 << 20, 'x'), std::to_string(1 << 20));
    Click(IDC_WITHOUT_CRC);

    const DWORD start = GetTickCount();
    SendMessageA(dialog.Item(IDC_START_SPLIT), BM_CLICK, 0, 0);
    EXPECT_LT(GetTickCount() - start, 1000u) << "Start Split held the window";
    ASSERT_TRUE(dialog.JobRunning());
    EXPECT_EQ("Cancel", Text(IDC_START_SPLIT));
    EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_START_CAT))) << "another job could start";
    EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_LARGE_FILE)));
    // Another thread, as a robot would: the window answers while the split runs.
    DWORD answeredIn = 0;
    BOOL answered = FALSE;
    std::thread robot([&] {
        const DWORD asked = GetTickCount();
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutA(dialog.Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
        answeredIn = GetTickCount() - asked;
    });
    const std::vector<int> positions = PumpWhileRunning(dialog);
    robot.join();
    EXPECT_TRUE(answered);
    EXPECT_LT(answeredIn, 500u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << "the bar went back";
    EXPECT_GT(std::count_if(positions.begin(), positions.end(), [](int p) { return p > 0 && p < 1000; }), 0)
        << "the bar showed no step between empty and full";
    EXPECT_EQ(1000, positions.back()) << "the bar did not reach its end";
    EXPECT_EQ(160u, ListLines().size());
    EXPECT_EQ("Start Split", Text(IDC_START_SPLIT));
    EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_START_CAT)));
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();

    // The same split again into an empty folder, cancelled part way: no piece stays.
    for (const auto& entry : std::filesystem::directory_iterator(dir.Native(".")))
        if (entry.path().filename().string().rfind("_Split#", 0) == 0)
            std::filesystem::remove(entry.path());
    SendMessageA(dialog.Item(IDC_START_SPLIT), BM_CLICK, 0, 0);
    ASSERT_TRUE(dialog.JobRunning()) << "the split ended before it could be cancelled";
    Click(IDC_START_SPLIT);
    EXPECT_EQ((std::vector<ShownMessage>{
                  {"Split cancelled.\nThe pieces it had written were deleted.", Icon::Information, Buttons::Ok}}),
              messenger.shown);
    EXPECT_FALSE(dir.Exists("_Split#000"));
    EXPECT_FALSE(dir.Exists("_Split#001"));
    EXPECT_TRUE(dir.Exists("big.bin"));
}
