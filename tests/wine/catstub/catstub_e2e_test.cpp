// catstub.exe end to end: real sets in a temporary folder, the real program under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/piece_name.h"
#include "tests/support/golden_sets.h"
#include "tests/support/recovery_set_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/catstub/self_catenating_set.h"
#include "tests/wine/support/box_robot.h"

namespace {

const char kConfirm[] = "User Confirm: Self Catenate Splited Files?";
const char kCrcOk[] = "Info: CRC check OK. Catenated File OK";

std::set<std::string> Listing(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Native("")))
        names.insert(entry.path().filename().string());
    return names;
}

class Catstub : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(45056u, CatstubImage().size()) << "catstub.exe at " << CatstubPath(); }

    // Runs the first piece of folder's set (or program) with folder as the current directory,
    // answering the boxes it is expected to show.
    RobotResult Run(const TempDir& folder, std::vector<BoxAnswer> script, const std::string& program = "") {
        RobotRun run;
        run.program = program.empty() ? folder.File(kSelfCatenatingName) : program;
        run.directory = folder.Path();
        run.script = std::move(script);
        RobotResult result = RunWithRobot(run);
        EXPECT_TRUE(result.started) << "CreateProcess error " << result.startError;
        EXPECT_FALSE(result.timedOut) << "catstub was still running at the deadline";
        EXPECT_EQ(0u, result.exitCode) << "catstub ends with 0 on every path";
        for (const SeenBox& box : result.Unexpected())
            ADD_FAILURE() << "a box the script did not expect: " << box;
        return result;
    }

    TempDir dir;
};

const std::vector<BoxAnswer> kEndsInfo = {{"User Confirm", IDOK}, {"Info", IDOK}};
const std::vector<BoxAnswer> kEndsFatal = {{"User Confirm", IDOK}, {"Fatal Error", IDOK}};

using Lines = std::vector<std::string>;

TEST_F(Catstub, JoinsASetOfSeveralPiecesAndReportsTheCheck) {
    const std::string data = TestBytes(300000, 7);
    const auto pieces = WriteSet(dir, HeaderFor("movie.avi", data), data, 100000);
    ASSERT_EQ(4u, pieces.size());

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    ASSERT_EQ(2u, result.boxes.size());
    EXPECT_TRUE(ShowsIcon(result.boxes[0].icon, BoxIcon::Question)) << result.boxes[0];
    EXPECT_TRUE(ShowsIcon(result.boxes[1].icon, BoxIcon::Asterisk)) << result.boxes[1];
    EXPECT_TRUE(dir.Read("movie.avi") == data) << "the rejoined file differs from the large file";
}

TEST_F(Catstub, JoinsTheGoldenSetWrittenByteForByte) {
    dir.Write(kSelfCatenatingName, CatstubImage() + golden::kSelfCatenatingAfterImage);
    dir.Write("_Split#001", golden::kSelfCatenatingSecondPiece);

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    EXPECT_EQ(golden::kData, dir.Read(golden::kName));
}

TEST_F(Catstub, CancelAtTheConfirmationTouchesNothing) {
    const std::string data = TestBytes(5000);
    WriteSet(dir, HeaderFor("movie.avi", data), data, 50000);
    const auto before = Listing(dir);

    const RobotResult result = Run(dir, {{"User Confirm", IDCANCEL}});

    EXPECT_EQ((Lines{kConfirm}), result.Lines());
    EXPECT_EQ(before, Listing(dir));
}

TEST_F(Catstub, AnExistingOutputIsNeitherOverwrittenNorDeleted) {
    const std::string data = TestBytes(120000);
    WriteSet(dir, HeaderFor("movie.avi", data), data, 60000);
    dir.Write("movie.avi", "the user's own file");

    const RobotResult result = Run(dir, kEndsFatal);

    EXPECT_EQ((Lines{kConfirm, "Fatal Error: Can't open file:\nmovie.avi\nDelete and start again"}), result.Lines());
    ASSERT_EQ(2u, result.boxes.size());
    EXPECT_TRUE(ShowsIcon(result.boxes[1].icon, BoxIcon::Hand)) << result.boxes[1];
    EXPECT_EQ("the user's own file", dir.Read("movie.avi"));
}

TEST_F(Catstub, APieceMissingFromTheMiddleIsNamedAndNothingIsWritten) {
    const std::string data = TestBytes(300000, 3);
    WriteSet(dir, HeaderFor("movie.avi", data), data, 100000);
    std::filesystem::remove(dir.Native("_Split#002"));

    const RobotResult result = Run(dir, kEndsFatal);

    EXPECT_EQ((Lines{kConfirm, "Fatal Error: _Split#002 is missing: the set cannot be catenated without it.\n"
                               "Nothing was written."}),
              result.Lines());
    EXPECT_FALSE(dir.Exists("movie.avi"));
}

TEST_F(Catstub, RefusesTooFewRecoverySlicesWithTheCountAndCancelChangesNothing) {
    const std::string data = TestBytes(300000, 21);
    const auto pieces = WriteSet(dir, HeaderFor("movie.avi", data), data, 100000);
    ASSERT_EQ(4u, pieces.size());
    WriteRecoveryFile(dir.Path(), pieces, 20000, {0, 1});
    const std::string last = dir.Read("_Split#003");

    // The last piece leaves no gap, and only the index tells that it is missing: 3 slices, 2 recovery slices.
    std::filesystem::remove(dir.Native("_Split#003"));
    auto before = Listing(dir);
    RobotResult result = Run(dir, kEndsFatal);
    EXPECT_EQ((Lines{kConfirm, "Fatal Error: These split files are missing or damaged:\n_Split#003 (missing)\n\n"
                               "The recovery files here hold 2 recovery slices; rebuilding them needs 3.\n"
                               "Add recovery volumes that hold at least 1 more recovery slice, then start again.\n"
                               "Nothing was written."}),
              result.Lines());
    EXPECT_EQ(before, Listing(dir));

    dir.Write("_Split#003", last);
    std::string damaged = dir.Read("_Split#002");
    damaged[50000] ^= 0x01;
    dir.Write("_Split#002", damaged);
    before = Listing(dir);
    result = Run(dir, {{"User Confirm", IDOK}, {"User Confirm", IDCANCEL}});
    EXPECT_EQ((Lines{kConfirm, "User Confirm: These split files are missing or damaged:\n_Split#002 (damaged)\n\n"
                               "The recovery files can rebuild them.\nRebuild them, then catenate?"}),
              result.Lines());
    EXPECT_EQ(before, Listing(dir));
    EXPECT_EQ(damaged, dir.Read("_Split#002"));
}

TEST_F(Catstub, ListsFortyPiecesToRebuildThenHowManyMore) {
    const std::string data = TestBytes(46 * 46000, 9);
    const auto pieces = WriteSet(dir, HeaderFor("movie.avi", data), data, 46000);
    ASSERT_EQ(47u, pieces.size());
    WriteRecoveryFile(dir.Path(), pieces, 23000, {0});
    for (int n = 1; n <= 45; ++n)
        std::filesystem::remove(dir.Native(PieceName(n)));

    const RobotResult result = Run(dir, kEndsFatal);

    ASSERT_EQ(2u, result.boxes.size());
    std::string expected = "These split files are missing or damaged:\n";
    for (int n = 1; n <= 40; ++n)
        expected += PieceName(n) + " (missing)\n";
    expected += "and 5 more\n\nThe recovery files here hold 1 recovery slice; rebuilding them needs 90.\n";
    EXPECT_EQ(expected, result.boxes[1].text.substr(0, expected.size())) << result.boxes[1];
}

// A set whose recovery files par2cmdline made (tests/wine/catstub/make_recovery_set.sh), copied here.
class CatstubRebuild : public Catstub {
protected:
    void SetUp() override {
        Catstub::SetUp();
        const std::filesystem::path made = std::filesystem::path("Z:" RECOVERY_SET_UNIX_DIR) / "set";
        if (!std::filesystem::exists(made))
            GTEST_SKIP() << "no set with recovery files: par2cmdline was not there when the tests were built";
        for (const auto& entry : std::filesystem::directory_iterator(made))
            std::filesystem::copy_file(entry.path(), dir.Native(entry.path().filename().string()));
        std::ifstream in(std::filesystem::path("Z:" RECOVERY_SET_UNIX_DIR) / "original", std::ios::binary);
        original = std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Damage(const std::string& name, size_t at, size_t count) {
        std::string bytes = dir.Read(name);
        ASSERT_LE(at + count, bytes.size());
        for (size_t i = 0; i < count; ++i)
            bytes[at + i] ^= 0x5A;
        dir.Write(name, bytes);
    }
    std::string original;
};

TEST_F(CatstubRebuild, RebuildsALostAndADamagedPieceFromTheVolumesAloneSkippingADamagedRecoveryPacket) {
    const std::string piece3 = dir.Read("_Split#003"), piece6 = dir.Read("_Split#006");
    std::filesystem::remove(dir.Native("_Split#003"));
    Damage("_Split#006", 1000, 4);
    const std::string damaged = dir.Read("_Split#006");
    // The first recovery packet of the first volume, which the solver would take first; and the index lost,
    // its packets read from a volume.
    Damage("_Split#.vol00+04.par2", 200, 1);
    std::filesystem::remove(dir.Native("_Split#.par2"));

    const RobotResult result = Run(dir, {{"User Confirm", IDOK}, {"User Confirm", IDOK}, {"Info", IDOK}});

    EXPECT_EQ((Lines{kConfirm,
                     "User Confirm: These split files are missing or damaged:\n_Split#003 (missing)\n"
                     "_Split#006 (damaged)\n\nThe recovery files can rebuild them.\nRebuild them, then catenate?",
                     kCrcOk}),
              result.Lines());
    ASSERT_EQ(3u, result.boxes.size());
    EXPECT_TRUE(ShowsIcon(result.boxes[1].icon, BoxIcon::Question)) << result.boxes[1];
    EXPECT_TRUE(dir.Read("movie.avi") == original) << "the rejoined file differs from the large file";
    EXPECT_TRUE(dir.Read("_Split#003") == piece3);
    EXPECT_TRUE(dir.Read("_Split#006") == piece6);
    EXPECT_TRUE(dir.Read("_Split#006.damaged") == damaged) << "the damaged original is kept";
    EXPECT_FALSE(dir.Exists("_Split#003.rebuilt") || dir.Exists("_Split#006.rebuilt"));
}

TEST_F(Catstub, JoinsInPieceOrderWhateverTheFolderHoldsBesideTheSet) {
    const std::string data = TestBytes(500000, 11);
    WriteSet(dir, HeaderFor("movie.avi", data), data, 70000, true);
    // Letter case as the Windows search matches it: still piece 2.
    std::filesystem::rename(dir.Native("_Split#002"), dir.Native("_SPLIT#002"));
    dir.Write("_Split#notes.txt", "not a piece");
    dir.Write("_Split#000", "a plain first piece of another set");
    dir.Write("_Split#0001", "four digits: not a piece");

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    EXPECT_TRUE(dir.Read("movie.avi") == data) << "the rejoined file differs from the large file";
}

TEST_F(Catstub, AnOutputNamedLikeAPieceIsNotJoinedIntoItself) {
    const std::string data = TestBytes(200000, 5);
    WriteSet(dir, HeaderFor("_Split#009", data), data, 100000);

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    EXPECT_TRUE(dir.Read("_Split#009") == data) << "the rejoined file differs from the large file";
}

TEST_F(Catstub, ARenamedFirstPieceStartedFromAnotherFolderJoinsTheSetBesideIt) {
    const std::string data = TestBytes(250000, 4);
    WriteSet(dir, HeaderFor("movie.avi", data), data, 100000);
    std::filesystem::rename(dir.Native(kSelfCatenatingName), dir.Native("_Split#000 (1).exe"));
    TempDir elsewhere;
    elsewhere.Write("_Split#001", "a piece of another set, where catstub was started");

    const RobotResult result = Run(elsewhere, kEndsInfo, dir.File("_Split#000 (1).exe"));

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    EXPECT_TRUE(dir.Read("movie.avi") == data) << "the set beside catstub's own file is rejoined there";
    EXPECT_FALSE(elsewhere.Exists("movie.avi")) << "nothing is written where catstub runs";
}

TEST_F(Catstub, AnEmptyLargeFileWithCrcZeroChecksOk) {
    WriteSet(dir, HeaderFor("empty.bin", ""), "", 100000);
    ASSERT_EQ("0#empty.bin;", HeaderFor("empty.bin", ""));

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines()) << "CRC 0 is a value, not a failure";
    EXPECT_TRUE(dir.Exists("empty.bin"));
    EXPECT_EQ("", dir.Read("empty.bin"));
}

TEST_F(Catstub, AFirstPieceShorterThanTheHeaderBlockJoins) {
    const std::string data = "floppy";
    WriteSet(dir, HeaderFor("small.txt", data), data, 100000);
    ASSERT_LT(std::filesystem::file_size(dir.Native(kSelfCatenatingName)), 45056u + 4096u);

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    EXPECT_EQ("floppy", dir.Read("small.txt"));
}

// A folder made by the build, whose "_Split#002" is a link to /proc/self/mem: it
// opens as a file, and reading it fails, as a failing disk would.
class CatstubReadFailure : public Catstub {
protected:
    void TearDown() override {
        for (const char* name : {"_Split#000.exe", "_Split#001", "movie.avi"})
            std::filesystem::remove(Folder() / name);
    }
    static std::filesystem::path Folder() { return std::filesystem::path("Z:" READ_FAILURE_UNIX_DIR); }
};

TEST_F(CatstubReadFailure, StopsTheJoinAndSaysSo) {
    const std::string data = TestBytes(300000, 13);
    const std::string header = HeaderFor("movie.avi", data);
    const std::string all = CatstubImage() + header + data;
    TempDir set;
    WriteSet(set, header, data, 200000);
    for (const char* name : {"_Split#000.exe", "_Split#001"})
        std::filesystem::copy_file(set.Native(name), Folder() / name);
    RobotRun run;
    run.directory = "Z:" + std::string(READ_FAILURE_UNIX_DIR);
    for (char& c : run.directory)
        if (c == '/')
            c = '\\';
    run.program = run.directory + "\\_Split#000.exe";
    run.script = kEndsFatal;

    const RobotResult result = RunWithRobot(run);

    EXPECT_EQ(0u, result.exitCode);
    ASSERT_EQ(2u, result.boxes.size()) << ::testing::PrintToString(result.Lines());
    const std::string expected =
        "Can't read split file:\n_Split#002\nThe unfinished file movie.avi.partial was deleted.\n\n";
    EXPECT_EQ(expected, result.boxes[1].text.substr(0, expected.size())) << result.boxes[1];
    EXPECT_GT(result.boxes[1].text.size(), expected.size()) << "the system's own text follows";
    EXPECT_FALSE(std::filesystem::exists(Folder() / "movie.avi")) << "a short file under the real name";
    EXPECT_FALSE(std::filesystem::exists(Folder() / "movie.avi.partial"));
}

struct RefusedHeader {
    const char* header; // the bytes behind the stub image
    const char* message;
};

class CatstubRefusesHeader : public Catstub, public ::testing::WithParamInterface<RefusedHeader> {};

TEST_P(CatstubRefusesHeader, WithoutWritingAnything) {
    // No '#' or ';' in the data: the reader meets none behind the header under test.
    const std::string data(90000, 'x');
    WriteSet(dir, GetParam().header, data, 60000);
    const auto before = Listing(dir);
    const auto parent = dir.Native("").parent_path();

    const RobotResult result = Run(dir, kEndsFatal);

    EXPECT_EQ((Lines{kConfirm, std::string("Fatal Error: ") + GetParam().message}), result.Lines());
    EXPECT_EQ(before, Listing(dir));
    EXPECT_FALSE(std::filesystem::exists(parent / "evil.txt")) << "written outside the folder";
    EXPECT_FALSE(std::filesystem::exists("C:\\fendrik-catstub-probe")) << "written by absolute path";
}

INSTANTIATE_TEST_SUITE_P(
    UnsafeOrMissingNames, CatstubRefusesHeader,
    ::testing::Values(
        RefusedHeader{"1234#..\\evil.txt;",
                      "_Split#000.exe holds no usable file name:\n..\\evil.txt\nNothing was written."},
        RefusedHeader{"1234#C:\\fendrik-catstub-probe;",
                      "_Split#000.exe holds no usable file name:\nC:\\fendrik-catstub-probe\nNothing was written."},
        RefusedHeader{"1234#../evil.txt;",
                      "_Split#000.exe holds no usable file name:\n../evil.txt\nNothing was written."},
        RefusedHeader{"1234#;", "_Split#000.exe holds no usable file name.\nNothing was written."},
        RefusedHeader{"no separator", "_Split#000.exe holds no usable file name.\nNothing was written."}));

TEST_F(Catstub, AFirstPieceEndingInsideItsHeaderIsRefused) {
    dir.Write(kSelfCatenatingName, CatstubImage() + "1A2B#cut-off-na");
    const auto before = Listing(dir);

    const RobotResult result = Run(dir, kEndsFatal);

    EXPECT_EQ((Lines{kConfirm, "Fatal Error: _Split#000.exe holds no usable file name.\nNothing was written."}),
              result.Lines());
    EXPECT_EQ(before, Listing(dir));
}

} // namespace

TEST_F(Catstub, ANameRecordedInWindows1252ComesBackUnderThatName) {
    const std::string data = TestBytes(5000, 4);
    WriteSet(dir,
             HeaderFor("\xDC"
                       "bung.avi",
                       data),
             data, 100000);

    const RobotResult result = Run(dir, kEndsInfo);

    EXPECT_EQ((Lines{kConfirm, kCrcOk}), result.Lines());
    const std::filesystem::path rejoined = dir.Native("") / std::filesystem::path(L"\u00DCbung.avi");
    EXPECT_TRUE(std::filesystem::exists(rejoined)) << "not found under its name in the system's code page";
}
