// The fendrik command in process: round trips, interop with the engines the dialog calls, verify, info,
// refusals and usage. One case runs the built program itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "cat/cat_files.h"
#include "cat/piece_discovery.h"
#include "cli/command_support.h"
#include "cli/console.h"
#include "cli/progress_line.h"
#include "cli/run_cli.h"
#include "core/stub_image.h"
#include "split/split_engine.h"
#include "tests/native/cat/split_set_writer.h"
#include "tests/support/recording_messenger.h"

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args, const std::string& answers = "", bool terminal = false,
           const std::atomic<bool>* stop = nullptr) {
    std::ostringstream out, err;
    std::istringstream in(answers);
    CliStreams streams{out, err, in, terminal, false, stop};
    const int status = RunCli(args, streams);
    return {status, out.str(), err.str()};
}

// The files of a folder by name, with their bytes.
std::map<std::string, std::string> Contents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Enter();
        dir.Write("big.bin", data);
        std::filesystem::create_directory(dir.Native("pieces"));
        std::filesystem::create_directory(dir.Native("out"));
    }
    std::string Piece(const std::string& name) { return "pieces/" + name; }

    TempDir dir;
    const std::string data = TestBytes(300000, 11);
};

} // namespace

TEST_F(CliTest, RoundTripsInEveryMode) {
    const bool haveStub = CarriedStubImage().data != nullptr;
    const struct {
        std::vector<std::string> options;
        std::string first, joined;
        size_t pieces;
    } modes[] = {
        {{"--size", "100K"}, "_Split#000", "big.bin", 3},
        {{"--size", "100K", "--no-crc"}, "_Split#000", "", 3},
        {{"--count", "4"}, "_Split#000", "big.bin", 4},
        {{"--size", "200K", "--self-cat"}, "_Split#000.exe", "big.bin", 2},
    };
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.options.back());
        if (mode.first == "_Split#000.exe" && !haveStub) {
            ADD_FAILURE() << "built without the catstub image: scripts/build.sh builds win32 first";
            continue;
        }
        std::filesystem::remove_all(dir.Native("pieces"));
        std::filesystem::remove_all(dir.Native("out"));
        std::filesystem::create_directories(dir.Native("out"));
        std::filesystem::create_directories(dir.Native("pieces"));
        std::vector<std::string> args = {"split", "big.bin", "-C", "pieces", "--quiet"};
        args.insert(args.end(), mode.options.begin(), mode.options.end());
        const CliRun split = Cli(args);
        ASSERT_EQ(0, split.status) << split.err;
        const auto pieces = Contents(dir.Native("pieces"));
        ASSERT_EQ(mode.pieces, pieces.size());
        EXPECT_EQ(1u, pieces.count(mode.first));
        EXPECT_EQ("", split.out + split.err) << "--quiet prints nothing on success";

        const CliRun join = Cli({"join", Piece("_Split#001"), "-C", "out"});
        ASSERT_EQ(0, join.status) << join.err;
        const auto out = Contents(dir.Native("out"));
        ASSERT_EQ(1u, out.size());
        if (!mode.joined.empty())
            EXPECT_EQ(mode.joined, out.begin()->first);
        else
            EXPECT_EQ(0u, out.begin()->first.rfind("File", 0)) << "a set without header joins as File%i";
        EXPECT_TRUE(out.begin()->second == data) << "rejoined bytes differ";
        const std::string told = mode.joined.empty()
                                     ? "fendrik: joined 3 files into File"
                                     : "fendrik: joined big.bin: CRC-32 " + CrcText(CrcOf(data)) + " OK\n";
        EXPECT_EQ(0u, join.err.rfind(told, 0)) << join.err;
    }
    const auto image = Contents(dir.Native("pieces"))["_Split#000.exe"];
    if (haveStub) {
        EXPECT_EQ(0, image.compare(0, kStubImageSize, reinterpret_cast<const char*>(CarriedStubImage().data),
                                   kStubImageSize));
    }
}

TEST_F(CliTest, PiecesAreTheEnginesAndEachSideJoinsTheOthersSet) {
    // The dialog's split: engine call in the current directory, CRC measured first.
    std::filesystem::create_directory(dir.Native("engine"));
    {
        std::filesystem::current_path(dir.Native("engine"));
        SplitJob job;
        job.largeFile = dir.File("big.bin");
        job.splitSize = 65536;
        job.crcText = CrcText(CrcOf(data));
        RecordingMessenger messenger;
        ASSERT_EQ(SplitEnd::Done, SplitLargeFile(job, messenger).end);
        std::filesystem::current_path(dir.Native(""));
    }
    ASSERT_EQ(0, Cli({"split", "big.bin", "--size", "64K", "-C", "pieces"}).status);
    EXPECT_TRUE(Contents(dir.Native("pieces")) == Contents(dir.Native("engine"))) << "pieces differ from the engine's";

    // The command joins the engine's set; the join engine joins the command's set.
    const CliRun join = Cli({"join", "engine/_Split#000", "-C", "out"});
    ASSERT_EQ(0, join.status) << join.err;
    EXPECT_TRUE(dir.Read("out/big.bin") == data);

    std::filesystem::create_directory(dir.Native("dialog"));
    std::filesystem::current_path(dir.Native("dialog"));
    RecordingMessenger messenger;
    CatJob job;
    const auto pieces = DiscoverPieces(dir.File("pieces\\_Split#000"), messenger);
    ASSERT_TRUE(pieces) << messenger.Texts().front();
    for (const auto& piece : *pieces)
        job.paths.push_back(piece.path);
    EXPECT_TRUE(CatFiles(job, messenger).written);
    EXPECT_TRUE(dir.Read("dialog/big.bin") == data);
}

TEST_F(CliTest, VerifyNamesMissingPiecesAndDataThatDoesNotMatch) {
    ASSERT_EQ(0, Cli({"split", "big.bin", "--size", "64K", "-C", "pieces"}).status);
    const CliRun good = Cli({"verify", Piece("_Split#000")});
    EXPECT_EQ(0, good.status);
    EXPECT_EQ("OK: big.bin: 5 pieces, 300000 bytes, CRC-32 " + CrcText(CrcOf(data)) + " as recorded\n", good.out);
    EXPECT_TRUE(Contents(dir.Native("out")).empty());

    std::string piece = dir.Read("pieces/_Split#003");
    piece[100] = static_cast<char>(piece[100] ^ 1);
    dir.Write("pieces/_Split#003", piece);
    const CliRun corrupted = Cli({"verify", Piece("_Split#004")});
    EXPECT_EQ(1, corrupted.status);
    EXPECT_EQ(0u, corrupted.out.find("MISMATCH: big.bin: ")) << corrupted.out;
    EXPECT_NE(std::string::npos, corrupted.out.find("the data does not match"));

    std::filesystem::remove(dir.Native("pieces/_Split#002"));
    const CliRun gap = Cli({"verify", Piece("_Split#000")});
    EXPECT_EQ(1, gap.status);
    EXPECT_EQ("missing: _Split#002\nINCOMPLETE: 1 of 5 pieces missing (_Split#002); the data cannot match\n", gap.out);
    const CliRun join = Cli({"join", Piece("_Split#000"), "-C", "out"});
    EXPECT_EQ(1, join.status);
    EXPECT_NE(std::string::npos, join.err.find("missing: _Split#002")) << join.err;
    EXPECT_TRUE(Contents(dir.Native("out")).empty());
}

TEST_F(CliTest, InfoDescribesTheSetAsTextOrJson) {
    ASSERT_EQ(0, Cli({"split", "big.bin", "--size", "100K", "-C", "pieces"}).status);
    const std::string crc = CrcText(CrcOf(data));
    const size_t total = data.size() + HeaderFor(data, "big.bin").size();
    const CliRun json = Cli({"info", Piece("_Split#002"), "--json"});
    EXPECT_EQ(0, json.status);
    EXPECT_EQ("{\"first_piece\": \"" + dir.Native("pieces/_Split#000").string() +
                  "\", \"self_catenating\": false, \"header\": true, \"original_name\": \"big.bin\", \"crc32\": \"" +
                  crc + "\", \"pieces\": 3, \"missing\": [], \"total_size\": " + std::to_string(total) +
                  ", \"rejoined_size\": 300000, \"recovery\": null}\n",
              json.out);
    std::filesystem::remove(dir.Native("pieces/_Split#000"));
    const CliRun text = Cli({"info", Piece("_Split#001")});
    EXPECT_EQ(1, text.status);
    EXPECT_NE(std::string::npos, text.out.find("first piece:     missing\n")) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("missing:         _Split#000\n"));
}

TEST_F(CliTest, NothingIsReplacedWithoutAYes) {
    ASSERT_EQ(0, Cli({"split", "big.bin", "-C", "pieces", "--size", "100K"}).status);
    dir.Write("out/big.bin", "precious");
    const CliRun refused = Cli({"join", Piece("_Split#000"), "-C", "out"});
    EXPECT_EQ(3, refused.status);
    EXPECT_EQ(
        "fendrik: " + dir.Native("out/big.bin").string() +
            " already exists; replace it with the joined file? [y/N] no (no terminal to ask; --yes answers yes)\n",
        refused.err);
    EXPECT_EQ("precious", dir.Read("out/big.bin"));
    EXPECT_EQ(3, Cli({"join", Piece("_Split#000"), "-C", "out"}, "n\n", true).status);
    EXPECT_EQ("precious", dir.Read("out/big.bin"));
    EXPECT_EQ(0, Cli({"join", Piece("_Split#000"), "-C", "out"}, "y\n", true).status);
    EXPECT_TRUE(dir.Read("out/big.bin") == data);

    const auto before = Contents(dir.Native("pieces"));
    const CliRun again = Cli({"split", "big.bin", "-C", "pieces", "--size", "64K"});
    EXPECT_EQ(3, again.status);
    EXPECT_TRUE(Contents(dir.Native("pieces")) == before) << "existing pieces untouched";
    EXPECT_EQ(0, Cli({"split", "big.bin", "-C", "pieces", "--size", "64K", "--yes"}).status);
    EXPECT_EQ(5u, Contents(dir.Native("pieces")).size()) << "pieces 000 to 004 of the new set";
}

TEST_F(CliTest, QuietPrintsNothingOnSuccessButStillTellsRefusals) {
    ASSERT_EQ(0, Cli({"split", "big.bin", "-C", "pieces", "--size", "100K", "--quiet"}).status);
    dir.Write("out/big.bin", "old");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"join", Piece("_Split#000"), "-C", "out", "--yes", "--quiet"},
          std::vector<std::string>{"verify", Piece("_Split#000"), "--quiet"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(0, run.status) << args[0];
        EXPECT_EQ("", run.out + run.err) << args[0];
    }
    EXPECT_TRUE(dir.Read("out/big.bin") == data);
    const CliRun refused = Cli({"split", "big.bin", "-C", "pieces", "--size", "100K", "--quiet"});
    EXPECT_EQ(3, refused.status);
    EXPECT_NE(std::string::npos, refused.err.find("[y/N] no")) << refused.err;
}

TEST_F(CliTest, CtrlCStopsAndLeavesNoPieceBehind) {
    const std::atomic<bool> stop{true};
    for (const char* option : {"--quiet", "--no-crc"}) {
        SCOPED_TRACE(option);
        const CliRun run = Cli({"split", "big.bin", "--size", "64K", "-C", "pieces", option}, "", false, &stop);
        EXPECT_EQ(3, run.status);
        EXPECT_NE(std::string::npos, run.err.find("fendrik: split stopped; the pieces it had written were deleted"))
            << run.err;
        EXPECT_TRUE(Contents(dir.Native("pieces")).empty());
    }
    ASSERT_EQ(0, Cli({"split", "big.bin", "-C", "pieces", "--size", "100K"}).status);
    EXPECT_EQ(3, Cli({"verify", Piece("_Split#000")}, "", false, &stop).status);
    const CliRun join = Cli({"join", Piece("_Split#000"), "-C", "out", "--quiet"}, "", false, &stop);
    EXPECT_EQ(3, join.status);
    EXPECT_EQ("fendrik: join stopped; the unfinished " + dir.Native("out/big.bin.partial").string() + " was deleted\n",
              join.err)
        << "told once, also under --quiet";
}

TEST_F(CliTest, RecoveryFilesAreToldAndRefusedBeforeAnyPiece) {
    const CliRun run = Cli({"split", "big.bin", "--size", "100K", "--recovery", "34%", "-C", "pieces"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos,
              run.out.find("Recovery files: 5 (209872 bytes); they restore up to 2 lost or damaged pieces.\n"))
        << run.out;
    const CliRun tooSmall = Cli({"split", "big.bin", "--size", "2000", "--recovery", "1", "-C", "out"});
    EXPECT_EQ(3, tooSmall.status);
    EXPECT_NE(std::string::npos, tooSmall.err.find("recovery files cannot be made for 151 pieces")) << tooSmall.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Native("out"))) << "refused before the first piece";
}

TEST_F(CliTest, RefusalsOfTheDialogAndWrongUsage) {
    const CliRun tooSmall = Cli({"split", "big.bin", "--size", "300000"});
    EXPECT_EQ(3, tooSmall.status);
    EXPECT_EQ("fendrik: " + dir.Native("big.bin").string() +
                  " is not larger than the piece size of 300000 bytes; nothing to split\n",
              tooSmall.err);
    const CliRun missing = Cli({"split", "nothing.bin"});
    EXPECT_EQ(3, missing.status);
    EXPECT_EQ(0u, missing.err.find("fendrik: Problem with File: ")) << missing.err;

    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"splat", "big.bin"},
        {"split"},
        {"split", "big.bin", "--size", "0"},
        {"split", "big.bin", "--size", "1.5M"},
        {"split", "big.bin", "--size", "100K", "--count", "3"},
        {"split", "big.bin", "--no-crc", "--self-cat"},
        {"verify", "a", "b"},
        {"info", "a", "--yes"},
        {"join", "a", "-C"},
        {"split", "big.bin", "--recovery", "101%"},
        {"split", "big.bin", "--recovery", "1001"},
        {"join", "a", "--recovery", "1"},
    };
    for (const auto& args : wrong) {
        const CliRun run = Cli(args);
        EXPECT_EQ(2, run.status) << (args.empty() ? "" : args[0]);
        EXPECT_NE(std::string::npos, run.err.find("usage: fendrik split FILE")) << run.err;
        EXPECT_EQ("", run.out);
    }
    EXPECT_EQ(0, Cli({"--help"}).status);
}

TEST(CliConsole, MessagesBecomeOneLineAndProgressReadsAtAGlance) {
    EXPECT_EQ("Concatenated File is Inconsistent! CRC32 not equal; File Name: a.bin; Original CRC32 = 12; "
              "Catenated File CRC32 = 34",
              OneLine("Concatenated File is Inconsistent! CRC32 not equal\n\nFile Name: a.bin\nOriginal CRC32 "
                      "=\t\t12\nCatenated File CRC32 =\t34"));
    EXPECT_EQ("Problem with File: x; No such file or directory",
              OneLine("Problem with File:\nx\n\nNo such file or directory\n"));
    EXPECT_EQ("Split   50%  512.0 KiB of 1.0 MiB  256.0 KiB/s  0:02 left", ProgressText("Split", 524288, 1048576, 2.0));
}

TEST(CliProgram, SplitsAndVerifiesAsAProcess) {
    TempDir dir;
    dir.Enter();
    dir.Write("file.bin", TestBytes(5000, 2));
    const std::string program = FENDRIK_PROGRAM;
    EXPECT_EQ(0, std::system((program + " split file.bin --size 2K >split.out 2>split.err").c_str()));
    const size_t last = 5000 + HeaderFor(TestBytes(5000, 2), "file.bin").size() - 4096;
    EXPECT_EQ("_Split#000\t2048 bytes\n_Split#001\t2048 bytes\n_Split#002\t" + std::to_string(last) + " bytes\n",
              dir.Read("split.out"));
    EXPECT_EQ("", dir.Read("split.err")) << "no progress line when stderr is not a terminal";
    EXPECT_EQ(0, std::system((program + " verify _Split#002 >verify.out 2>&1").c_str()));
    std::filesystem::remove(dir.Native("_Split#001"));
    const int status = std::system((program + " verify _Split#002 >verify.out 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << dir.Read("verify.out");
}

TEST_F(CliTest, WithRecoveryFilesVerifyNamesBadPiecesRepairRebuildsThemAndJoinRebuildsOnTheWay) {
    ASSERT_EQ(0, Cli({"split", "big.bin", "-C", "pieces", "--size", "40000", "--quiet"}).status);
    const std::string make = "cd pieces && par2 c -q -s10000 -c14 -n1 -a _Split#.par2 -- _Split#* >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(make.c_str()));
    const auto pieces = Contents(dir.Native("pieces"));
    std::filesystem::remove(dir.Native(Piece("_Split#002")));
    std::filesystem::remove(dir.Native(Piece("_Split#005")));
    dir.Write(Piece("_Split#004"), "not the piece");

    const CliRun verify = Cli({"verify", Piece("_Split#000")});
    EXPECT_EQ(1, verify.status) << verify.err;
    EXPECT_EQ("missing: _Split#002\n"
              "truncated: _Split#004: 13 of 40000 bytes, bytes 0-39999 (4 of 4 slices)\n"
              "missing: _Split#005\n"
              "1 piece damaged, 2 missing: the recovery files can rebuild them (needs 12 of 14 recovery slices)\n",
              verify.out);
    EXPECT_NE(std::string::npos, Cli({"info", Piece("_Split#000"), "--json"}).out.find("\"recovery_slices\": 14"));

    const CliRun repair = Cli({"repair", Piece("_Split#000")});
    EXPECT_EQ(0, repair.status) << repair.err;
    EXPECT_NE(std::string::npos, repair.out.find("rebuilt: _Split#004 (damaged original kept as _Split#004.damaged)\n"))
        << repair.out;
    EXPECT_EQ(pieces.at("_Split#002"), dir.Read(Piece("_Split#002")));
    EXPECT_EQ(pieces.at("_Split#004"), dir.Read(Piece("_Split#004")));
    EXPECT_EQ("not the piece", dir.Read(Piece("_Split#004.damaged")));
    EXPECT_EQ(0, std::system("cd pieces && par2 v -qq _Split#.par2 >/dev/null 2>&1"));

    // The join rebuilds only after a Yes: without a terminal to answer, nothing changes.
    std::filesystem::remove(dir.Native(Piece("_Split#001")));
    const CliRun declined = Cli({"join", Piece("_Split#000"), "-C", "out", "--quiet"});
    EXPECT_EQ(1, declined.status); // missing but rebuildable, as verify says
    EXPECT_NE(std::string::npos, declined.err.find("Rebuild it, then join? [y/N] no")) << declined.err;
    EXPECT_NE(std::string::npos, declined.err.find("Nothing was rebuilt or joined.")) << declined.err;
    EXPECT_FALSE(dir.Exists(Piece("_Split#001")));
    const CliRun join = Cli({"join", Piece("_Split#000"), "-C", "out", "--yes"});
    EXPECT_EQ(0, join.status) << join.err;
    EXPECT_NE(std::string::npos, join.out.find("rebuilt: _Split#001\n")) << join.out;
    EXPECT_EQ(data, dir.Read("out/big.bin"));

    for (const char* name : {"_Split#001", "_Split#002", "_Split#003", "_Split#004"})
        std::filesystem::remove(dir.Native(Piece(name)));
    const CliRun beyond = Cli({"verify", Piece("_Split#000")});
    EXPECT_EQ(4, beyond.status);
    EXPECT_NE(std::string::npos,
              beyond.out.find("4 pieces missing: the recovery files cannot rebuild them (needs 16 recovery slices, "
                              "14 present: 2 more)"))
        << beyond.out;
    EXPECT_EQ(4, Cli({"join", Piece("_Split#000"), "-C", "out", "--quiet", "--yes"}).status);
}

TEST_F(CliTest, PosixPathsAreOpenedAsTheKernelResolvesThemAndABackslashIsPartOfAName) {
    // "a\b.bin" is one name here, not b.bin in folder a.
    std::filesystem::create_directories(dir.Native("a"));
    dir.Write("a/b.bin", TestBytes(3000, 1));
    const std::string named = TestBytes(3000, 2);
    dir.Write("a\\b.bin", named);
    CliRun run = Cli({"split", "a\\b.bin", "--size", "1000", "--no-crc", "-C", "pieces", "--quiet"});
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ(named.substr(0, 1000), Contents(dir.Native("pieces"))["_Split#000"]);

    // "lnk/../f.bin" through a link to deep/a is deep/f.bin for the kernel, not the f.bin beside lnk.
    std::filesystem::remove_all(dir.Native("pieces"));
    std::filesystem::create_directory(dir.Native("pieces"));
    std::filesystem::create_directories(dir.Native("deep/a"));
    std::filesystem::create_directory_symlink(dir.Native("deep/a"), dir.Native("lnk"));
    const std::string deep = TestBytes(3000, 3);
    dir.Write("deep/f.bin", deep);
    dir.Write("f.bin", TestBytes(3000, 4));
    run = Cli({"split", "lnk/../f.bin", "--size", "1000", "--no-crc", "-C", "pieces", "--quiet"});
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ(deep.substr(0, 1000), Contents(dir.Native("pieces"))["_Split#000"]);
}
