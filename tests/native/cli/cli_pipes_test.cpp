// The command in pipelines and scripts: split from standard input, join to standard output or a chosen
// file, the flags every writing subcommand takes, and verify --json.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

#include "cli/arguments.h"
#include "cli/run_cli.h"
#include "core/crc32.h"
#include "core/piece_header.h"
#include "tests/native/split/split_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    std::istringstream in;
    CliStreams streams{out, err, in, false, false, nullptr};
    const int status = RunCli(args, streams);
    return {status, out.str(), err.str()};
}

// Runs a shell line in the current folder; its exit status.
int Shell(const std::string& line) {
    const int status = std::system(("sh -c '" + line + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kProgram = FENDRIK_PROGRAM;

} // namespace

TEST(CliFlags, EveryWritingSubcommandTakesYesAndQuietAndEverySubcommandQuiet) {
    for (const char* command : {"split", "join", "repair", "verify", "info"}) {
        SCOPED_TRACE(command);
        const bool writes =
            std::string(command) == "split" || std::string(command) == "join" || std::string(command) == "repair";
        const auto quiet = ParseArguments({command, "x", "--quiet"});
        ASSERT_TRUE(std::holds_alternative<CliOptions>(quiet));
        EXPECT_TRUE(std::get<CliOptions>(quiet).quiet);
        const auto yes = ParseArguments({command, "x", "--yes"});
        EXPECT_EQ(writes, std::holds_alternative<CliOptions>(yes));
    }
    // What standard input and output rule out, said before anything is read.
    const std::vector<std::vector<std::string>> refused = {
        {"split", "-"},                                 // the header needs a name
        {"split", "-", "--name", "a", "--count", "3"},  // a count needs the length
        {"split", "big.bin", "--name", "a"},            // a file records its own name
        {"join", "_Split#000", "-o", "-", "-C", "out"}, // two destinations
        {"join", "_Split#000", "-o", ""},               // no destination
    };
    for (const auto& args : refused)
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseArguments(args))) << args.back();
    EXPECT_TRUE(std::holds_alternative<CliOptions>(ParseArguments({"split", "-", "--no-crc"})));
}

TEST(CliPipes, SplitFromAPipeAndJoinIntoAPipeTellingAMismatchOnStderr) {
    TempDir dir;
    dir.Enter();
    // "ABCDEF" is shorter than the placeholder: the pieces are rewritten from themselves.
    const std::string data = WithCrc(TestBytes(300000, 7), 0x00ABCDEF);
    dir.Write("data.bin", data);
    std::filesystem::create_directory(dir.Native("set"));
    ASSERT_EQ(0, Shell("cat data.bin | " + kProgram +
                       " split - --name data.tar --size 100K --recovery 1 -C set "
                       ">split.out 2>split.err"))
        << dir.Read("split.err");
    EXPECT_EQ(0u, dir.Read("split.out").find("_Split#000\t102400 bytes\n")) << dir.Read("split.out");
    EXPECT_NE(std::string::npos, dir.Read("split.err").find("cannot be checked in advance"));
    EXPECT_EQ("ABCDEF#data.tar;", dir.Read("set/_Split#000").substr(0, 16));

    const std::string join = "(" + kProgram + " join set/_Split#001 -o - 2>join.err; echo $? >join.status) | cat >out";
    ASSERT_EQ(0, Shell(join));
    EXPECT_EQ("0\n", dir.Read("join.status"));
    EXPECT_TRUE(dir.Read("out") == data) << "stdout carries the data and nothing else";
    EXPECT_EQ("fendrik: joined data.tar: CRC-32 ABCDEF OK\n", dir.Read("join.err"));
    EXPECT_FALSE(dir.Exists("set/data.tar"));

    // A damaged piece the recovery files could rebuild: only --yes agrees to it, before the first byte.
    std::string piece = dir.Read("set/_Split#002");
    piece[10] = static_cast<char>(piece[10] ^ 1);
    dir.Write("set/_Split#002", piece);
    ASSERT_EQ(0, Shell(join));
    EXPECT_EQ("1\n", dir.Read("join.status"));
    EXPECT_EQ("", dir.Read("out"));
    EXPECT_NE(std::string::npos, dir.Read("join.err").find("give --yes to rebuild it first")) << dir.Read("join.err");

    // Without recovery files the damage is found only at the end: the data went out, the mismatch is told.
    for (const auto& entry : std::filesystem::directory_iterator(dir.Native("set")))
        if (entry.path().extension() == ".par2")
            std::filesystem::remove(entry.path());
    ASSERT_EQ(0, Shell(join));
    EXPECT_EQ("1\n", dir.Read("join.status"));
    EXPECT_EQ(data.size(), dir.Read("out").size());
    EXPECT_EQ(0u, dir.Read("join.err").find("fendrik: MISMATCH: data.tar: CRC-32 ")) << dir.Read("join.err");
    EXPECT_NE(std::string::npos, dir.Read("join.err").find("the data written to standard output is not the file"));
}

TEST(CliPipes, JoinWritesTheFileNamedAndQuietSaysNothingWithRecoveryFiles) {
    TempDir dir;
    dir.Enter();
    const std::string data = TestBytes(250000, 8);
    dir.Write("big.bin", data);
    std::filesystem::create_directories(dir.Native("set"));
    std::filesystem::create_directories(dir.Native("out"));
    ASSERT_EQ(0, Cli({"split", "big.bin", "--size", "60000", "--recovery", "2", "-C", "set", "--quiet"}).status);
    const CliRun join = Cli({"join", "set/_Split#000", "-o", "out/chosen.bin", "--quiet"});
    EXPECT_EQ(0, join.status) << join.err;
    EXPECT_TRUE(dir.Read("out/chosen.bin") == data);
    std::filesystem::remove(dir.Native("set/_Split#001"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"repair", "set/_Split#000", "--yes", "--quiet"},
          std::vector<std::string>{"verify", "set/_Split#000", "--quiet"},
          std::vector<std::string>{"info", "set/_Split#000", "--quiet"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(0, run.status) << args[0] << run.err;
        EXPECT_EQ("", run.out + run.err) << args[0];
    }
    EXPECT_TRUE(dir.Exists("set/_Split#001")) << "repair rebuilt it";
}

TEST(CliPipes, VerifyJsonNamesEachPiecesStateAndTheVerdict) {
    if (std::system("jq --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "jq is not installed";
    TempDir dir;
    dir.Enter();
    dir.Write("big.bin", TestBytes(400000, 9));
    std::filesystem::create_directories(dir.Native("set"));
    ASSERT_EQ(0, Cli({"split", "big.bin", "--size", "50000", "--recovery", "4", "-C", "set", "--quiet"}).status);
    // The verdict's exit status, and whether jq finds test true of the output.
    const auto json = [&](const std::string& test) {
        const CliRun run = Cli({"verify", "set/_Split#000", "--json"});
        dir.Write("verify.json", run.out);
        dir.Write("test.jq", test);
        return std::make_pair(run.status, Shell("jq -e -f test.jq verify.json >/dev/null"));
    };
    EXPECT_EQ(std::make_pair(0, 0), json(R"(.verdict == "ok" and (.pieces | length) == 9 and )"
                                         R"(.pieces[0].state == "intact" and .original_name == "big.bin")"));

    std::string piece = dir.Read("set/_Split#003");
    piece[100] = static_cast<char>(piece[100] ^ 1);
    dir.Write("set/_Split#003", piece);
    std::filesystem::remove(dir.Native("set/_Split#005"));
    std::filesystem::rename(dir.Native("set/_Split#006"), dir.Native("set/moved\xff.bin"));
    EXPECT_EQ(std::make_pair(1, 0),
              json(R"(.verdict == "rebuildable" and .pieces[3].state == "damaged" and )"
                   R"(.pieces[3].damaged_bytes[0][0] == 0 and .pieces[5].state == "missing" and )"
                   R"(.pieces[6].state == "renamed" and .pieces[6].found_as == "moved\ufffd.bin")"));
}
