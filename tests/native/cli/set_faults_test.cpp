// Sets that used to be misread or misjoined: each is refused, or joined right, before any byte is written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "cli/run_cli.h"
#include "tests/native/cat/split_set_writer.h"

namespace {

struct CliOutcome {
    int status;
    std::string out, err;
};

CliOutcome Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    std::istringstream in;
    CliStreams streams{out, err, in, false, false, nullptr};
    const int status = RunCli(args, streams);
    return {status, out.str(), err.str()};
}

class SetFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Enter();
        names = WriteSet(dir, "movie.bin", data, 2000);
        std::filesystem::create_directory(dir.Native("out"));
    }
    TempDir dir;
    const std::string data = TestBytes(5000, 5);
    std::vector<std::string> names;
};

} // namespace

TEST_F(SetFaults, AMismatchingJoinNeverReplacesTheGoodFile) {
    dir.Write("out/movie.bin", data);
    std::string damaged = dir.Read("_Split#002");
    damaged[0] ^= 1;
    dir.Write("_Split#002", damaged);
    const CliOutcome run = Cli({"join", "_Split#000", "-C", "out", "--yes"});
    EXPECT_EQ(1, run.status) << run.err;
    EXPECT_TRUE(dir.Read("out/movie.bin") == data) << "the good file is gone";
    EXPECT_TRUE(dir.Exists("out/movie.bin.inconsistent")) << run.err;
    EXPECT_NE(run.err.find("movie.bin.inconsistent"), std::string::npos) << "says where: " << run.err;
}

TEST_F(SetFaults, ALinkToAFolderIsAskedAboutAndKeptWithoutAYes) {
    std::filesystem::create_directory(dir.Native("elsewhere"));
    std::filesystem::create_directory_symlink(dir.Native("elsewhere"), dir.Native("out/movie.bin"));
    const CliOutcome run = Cli({"join", "_Split#000", "-C", "out"});
    EXPECT_EQ(3, run.status);
    EXPECT_NE(run.err.find("[y/N] no"), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Native("out/movie.bin")));

    std::filesystem::remove(dir.Native("out/movie.bin"));
    std::filesystem::create_symlink(dir.Native("nowhere"), dir.Native("out/movie.bin"));
    const CliOutcome dangling = Cli({"join", "_Split#000", "-C", "out", "--yes"});
    EXPECT_EQ(3, dangling.status);
    EXPECT_NE(dangling.err.find("symbolic link to nothing"), std::string::npos) << dangling.err;
}

TEST_F(SetFaults, AFirstPieceInAnotherLetterCaseIsJoinedUnderItsRecordedName) {
    std::filesystem::rename(dir.Native("_Split#000"), dir.Native("_split#000"));
    const CliOutcome run = Cli({"join", "_split#000", "-C", "out"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(dir.Read("out/movie.bin") == data);
}

TEST_F(SetFaults, TwoPiecesWithOneNumberAreRefusedByEveryCommand) {
    dir.Write("_split#001", "a stray copy");
    for (const char* command : {"info", "verify", "join"}) {
        const CliOutcome run = Cli({command, "_Split#000"});
        EXPECT_EQ(3, run.status) << command << ": " << run.err;
        EXPECT_NE(run.err.find("two files carry one piece number"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(dir.Exists("movie.bin"));
}

TEST_F(SetFaults, APipeNamedLikeAPieceIsRefusedWithoutOpeningIt) {
    std::filesystem::remove(dir.Native("_Split#002"));
    ASSERT_EQ(0, mkfifo(dir.Native("_Split#002").c_str(), 0600));
    for (const char* command : {"verify", "join"}) {
        const CliOutcome run = Cli({command, "_Split#000"});
        EXPECT_EQ(3, run.status) << command;
        EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
    }
}

TEST_F(SetFaults, InfoJsonStaysValidForANameThatIsNotUtf8) {
    const std::string folder = "set\xff";
    std::filesystem::create_directory(dir.Native(folder));
    for (const std::string& name : names)
        std::filesystem::rename(dir.Native(name), dir.Native(folder + "/" + name));
    const CliOutcome run = Cli({"info", folder + "/_Split#001", "--json"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(run.out.find("set\\ufffd/_Split#000"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\xff'), std::string::npos);
}
