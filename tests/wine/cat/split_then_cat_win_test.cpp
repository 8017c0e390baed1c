// Sets written by the real split come back byte for byte through the dialog:
// with header through "Start cat", without header through the explicit selection.
#include "split/split_engine.h"
#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

constexpr size_t kLargeSize = 4000000;
constexpr int64_t kFloppy = 1457664;

class SplitThenCatTest : public CatDialogTest {
protected:
    void SetUp() override {
        CatDialogTest::SetUp();
        source.Write("large.bin", data);
        // The split writes beside the current directory, and the rejoin lands there too.
        pieces.Enter();
    }

    void Split(bool withHeader) {
        SplitJob job;
        job.largeFile = source.File("large.bin");
        job.splitSize = kFloppy;
        job.withoutCrc = !withHeader;
        RecordingMessenger splitMessages;
        const SplitResult result = SplitLargeFile(job, splitMessages);
        ASSERT_EQ(SplitEnd::Done, result.end) << ::testing::PrintToString(splitMessages.shown);
        ASSERT_EQ(3, result.piecesWritten);
    }

    const std::string data = TestBytes(kLargeSize, 11);
    TempDir source;
    TempDir pieces;
};

} // namespace

TEST_F(SplitThenCatTest, SetWithHeaderRejoinsThroughStartCat) {
    Split(true);
    Type(pieces.File("_Split#000"));
    Click(IDC_START_CAT);
    const std::string crcText = CrcText(CrcOf(data));
    EXPECT_EQ((std::vector<ShownMessage>{
                  {"Catenated File: large.bin  OK\n\nCRC32 = Hex:" + crcText, Icon::Information, Buttons::Ok}}),
              messenger.shown);
    EXPECT_TRUE(pieces.Read("large.bin") == data) << "the rejoined file differs from the original";
    EXPECT_EQ((std::vector<std::string>{"_Split#000\t 1457664 bytes", "_Split#001\t 1457664 bytes",
                                        "_Split#002\t " +
                                            std::to_string(kLargeSize + crcText.size() + 11 - 2 * kFloppy) + " bytes",
                                        "large.bin\t 4000000 bytes"}),
              CatLines());
    EXPECT_EQ((std::vector<std::string>{pieces.File("large.bin")}), dialog.RejoinedPaths());
}

TEST_F(SplitThenCatTest, SetWithoutHeaderRejoinsThroughTheSelection) {
    Split(false);
    pickers.selection = PathsIn(pieces, {"_Split#000", "_Split#001", "_Split#002"});
    Click(IDC_SELECT_SPECIFIC);
    Click(IDC_START_CAT);
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    const std::string& text = messenger.shown[0].text;
    const std::string prefix = "Catenated File: ";
    ASSERT_EQ(0u, text.rfind(prefix, 0)) << messenger.shown[0];
    ASSERT_GT(text.size(), prefix.size() + 5);
    const std::string name = text.substr(prefix.size(), text.size() - prefix.size() - 5);
    EXPECT_EQ(" done", text.substr(text.size() - 5)) << messenger.shown[0];
    EXPECT_TRUE(pieces.Read(name) == data) << "the joined file " << name << " differs from the original";
    ASSERT_EQ(4u, CatLines().size());
    EXPECT_EQ(name + "\t 4000000 bytes", CatLines()[3]);
}
