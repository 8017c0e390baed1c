// "Start cat" on a discovered set: the checked rejoin, its message and list
// line, a corrupted piece, and a piece that another program holds open.
#include "platform/file.h"
#include "tests/wine/cat/cat_dialog_fixture.h"

namespace {

// An owned handle of a file that another program holds open for writing.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    }
    ~HeldOpen() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class StartCatTest : public CatDialogTest {
protected:
    void SetUp() override {
        CatDialogTest::SetUp();
        dir.Enter();
        names = WriteSet(dir, "movie.avi", data, 1000);
        ASSERT_EQ(3u, names.size()) << "a header and 2500 bytes make three pieces";
        Type(dir.File("_Split#000"));
        ASSERT_EQ(3u, dialog.CatenationList().size());
    }

    TempDir dir;
    const std::string data = TestBytes(2500, 7);
    const std::string crcText = CrcText(CrcOf(data));
    const size_t headerLength = HeaderFor(data, "movie.avi").size();
    std::vector<std::string> names;
};

} // namespace

TEST_F(StartCatTest, GoodSetIsRejoinedReportedAndListed) {
    Click(IDC_START_CAT);
    EXPECT_EQ((std::vector<ShownMessage>{
                  {"Catenated File: movie.avi  OK\n\nCRC32 = Hex:" + crcText, Icon::Information, Buttons::Ok}}),
              messenger.shown);
    EXPECT_EQ(data, dir.Read("movie.avi")) << "the header bytes are left out, every data byte is kept";
    EXPECT_EQ("movie.avi", dialog.RecordedName());
    EXPECT_EQ(crcText, dialog.RecordedCrcText());

    const std::vector<std::string> lines = CatLines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("movie.avi\t 2500 bytes", lines[3]);
    EXPECT_EQ((std::vector<std::string>{dir.File("movie.avi")}), dialog.RejoinedPaths());
    EXPECT_EQ(500, SendMessageA(dialog.Item(IDC_CAT_LIST), LB_GETHORIZONTALEXTENT, 0, 0));
    ExpectListInStep();

    // Again: the pieces are found afresh and the one result line comes back, the file replaced after a Yes.
    dir.Write("movie.avi", "an older file of that name");
    messenger.Clear();
    messenger.answers = {Answer::Yes};
    Click(IDC_START_CAT);
    ASSERT_EQ(2u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(Buttons::YesNo, messenger.shown[0].buttons);
    EXPECT_EQ(data, dir.Read("movie.avi"));
    EXPECT_EQ(4u, CatLines().size()) << "the discovery resets the list before the new result line";
    EXPECT_EQ((std::vector<std::string>{dir.File("movie.avi")}), dialog.RejoinedPaths());
    ExpectListInStep();
}

TEST_F(StartCatTest, CorruptedPieceIsReportedAsInconsistentAndNotListed) {
    std::string middle = dir.Read("_Split#001");
    middle[500] = static_cast<char>(middle[500] ^ 0x40);
    dir.Write("_Split#001", middle);
    const std::string joined = dir.Read("_Split#000").substr(headerLength) + middle + dir.Read("_Split#002");

    Click(IDC_START_CAT);
    const std::string expected = "Concatenated File is Inconsistent! CRC32 not equal\n\nFile Name: movie.avi"
                                 "\nOriginal CRC32 =\t\t" +
                                 crcText + "\nCatenated File CRC32 =\t" + CrcText(CrcOf(joined));
    EXPECT_EQ((std::vector<ShownMessage>{{expected, Icon::Hand, Buttons::Ok}}), messenger.shown);
    EXPECT_EQ(joined, dir.Read("movie.avi")) << "the rejoined file stays on disk as written";
    EXPECT_EQ(3u, CatLines().size()) << "a file that failed its check is not listed";
    EXPECT_TRUE(dialog.RejoinedPaths().empty());
    EXPECT_EQ("movie.avi", dialog.RecordedName()) << "the header read is kept whatever the outcome";
    EXPECT_EQ(crcText, dialog.RecordedCrcText());
}

TEST_F(StartCatTest, AMismatchBesideAnExistingFileLeavesItAndSaysWhereTheResultIs) {
    std::string middle = dir.Read("_Split#001");
    middle[500] = static_cast<char>(middle[500] ^ 0x40);
    dir.Write("_Split#001", middle);
    dir.Write("movie.avi", "the good copy");
    messenger.answers = {Answer::Yes};

    Click(IDC_START_CAT);
    ASSERT_EQ(2u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_NE(std::string::npos, messenger.shown[1].text.find("\n\nThe file " + dir.File("movie.avi") +
                                                              " was left as it was.\nThe inconsistent catenated "
                                                              "file was kept as " +
                                                              dir.File("movie.avi.inconsistent") + "."))
        << messenger.shown[1];
    EXPECT_EQ("the good copy", dir.Read("movie.avi"));
    EXPECT_EQ(data.size(), dir.Read("movie.avi.inconsistent").size());
    EXPECT_TRUE(dialog.RejoinedPaths().empty());
}

TEST_F(StartCatTest, AFirstPieceInLowerCaseIsJoinedWithItsHeader) {
    ASSERT_TRUE(MoveFileA(dir.File("_Split#000").c_str(), dir.File("_split#000").c_str()));
    Type(dir.File("_split#000"));
    ASSERT_EQ(3u, dialog.CatenationList().size());
    Click(IDC_START_CAT);
    EXPECT_EQ((std::vector<ShownMessage>{
                  {"Catenated File: movie.avi  OK\n\nCRC32 = Hex:" + crcText, Icon::Information, Buttons::Ok}}),
              messenger.shown);
    EXPECT_EQ(data, dir.Read("movie.avi"));
}

TEST_F(StartCatTest, PieceHeldOpenByAWriterStopsTheJoinAndIsNamed) {
    HeldOpen writer(dir.File("_Split#002"));
    ASSERT_TRUE(writer.IsOpen()) << "could not hold the piece open, error " << GetLastError();
    Click(IDC_START_CAT);
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    const ShownMessage& shown = messenger.shown[0];
    EXPECT_EQ(0u, shown.text.rfind("Error on Subroutine: CatFiles\n", 0)) << shown;
    EXPECT_NE(std::string::npos, shown.text.find("_Split#002")) << "the message names the piece: " << shown;
    EXPECT_EQ(Icon::Hand, shown.icon);
    EXPECT_NE(std::string::npos,
              shown.text.find("The unfinished file " + dir.File("movie.avi.partial") + " was deleted."))
        << shown;
    EXPECT_FALSE(dir.Exists("movie.avi")) << "a short file under the real name";
    EXPECT_FALSE(dir.Exists("movie.avi.partial"));
    EXPECT_EQ(3u, CatLines().size());
    EXPECT_TRUE(dialog.RejoinedPaths().empty());
}

TEST_F(StartCatTest, PieceThatVanishedBeforeStartIsLeftOutOfTheFreshList) {
    // The list is rebuilt from disk at the press, so a missing last piece means a short file.
    ASSERT_TRUE(DeleteFileAt(dir.File("_Split#002")));
    Click(IDC_START_CAT);
    EXPECT_EQ(2u, dialog.CatenationList().size());
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    EXPECT_EQ(0u, messenger.shown[0].text.rfind("Concatenated File is Inconsistent! CRC32 not equal\n", 0))
        << messenger.shown[0];
    EXPECT_EQ(2u, CatLines().size());
}
