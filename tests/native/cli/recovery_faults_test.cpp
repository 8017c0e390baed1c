// The command with recovery files beside a set: a join decides every refusal before a piece changes and
// rebuilds only after a Yes; what verify and repair say of stale sets, damaged recovery files and
// swapped pieces.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/run_cli.h"
#include "tests/native/cat/split_set_writer.h"
#include "tests/support/recovery_set_writer.h"

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args, const std::string& answers = "", bool terminal = false) {
    std::ostringstream out, err;
    std::istringstream in(answers);
    CliStreams streams{out, err, in, terminal, false, nullptr};
    const int status = RunCli(args, streams);
    return {status, out.str(), err.str()};
}

class RecoveryFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Enter();
        names = WriteSet(dir, "movie.bin", data, 2000);
        ASSERT_EQ(3u, names.size());
        std::filesystem::create_directory(dir.Native("out"));
    }
    void MakeSet(std::vector<uint32_t> exponents = {0, 1, 2, 3, 4, 5}) {
        WriteRecoveryFile(dir.Native("").string(), names, 500, exponents);
    }
    TempDir dir;
    const std::string data = TestBytes(5000, 5);
    std::vector<std::string> names;
};

} // namespace

TEST_F(RecoveryFaults, AJoinRefusesBeforeAnyPieceChangesAndRebuildsOnlyAfterAYes) {
    MakeSet();
    // The first piece itself is lost: the output's name is read from its rebuilt copy before it takes its name.
    const std::string lost = dir.Read("_Split#000");
    std::filesystem::remove(dir.Native("_Split#000"));
    const CliRun noFolder = Cli({"join", "_Split#001", "-C", "nowhere", "--yes"});
    EXPECT_EQ(3, noFolder.status) << noFolder.err;
    EXPECT_FALSE(dir.Exists("_Split#000"));

    dir.Write("out/movie.bin", "the user's own");
    const CliRun kept = Cli({"join", "_Split#001", "-C", "out"}, "y\nn\n", true);
    EXPECT_EQ(3, kept.status) << kept.err;
    EXPECT_EQ("the user's own", dir.Read("out/movie.bin"));
    EXPECT_FALSE(dir.Exists("_Split#000")) << "the replace question's No came before the rebuild";
    EXPECT_FALSE(dir.Exists("_Split#000.rebuilding"));

    const CliRun joined = Cli({"join", "_Split#001", "-C", "out", "--yes"});
    EXPECT_EQ(0, joined.status) << joined.err;
    EXPECT_TRUE(lost == dir.Read("_Split#000"));
    EXPECT_TRUE(data == dir.Read("out/movie.bin"));
}

TEST_F(RecoveryFaults, AStaleSetIsNamedAndTheSetCheckedWithoutIt) {
    MakeSet();
    std::filesystem::rename(dir.Native("_Split#.par2"), dir.Native("old.par2"));
    WriteSet(dir, "other.bin", TestBytes(5000, 9), 2000); // another split's pieces now
    const CliRun verify = Cli({"verify", "_Split#000"});
    EXPECT_NE(std::string::npos, verify.err.find("The recovery files old.par2 describe other files than the pieces "
                                                 "beside them, perhaps those of an earlier split. The pieces are "
                                                 "checked without them."))
        << verify.err;
}

TEST_F(RecoveryFaults, VerifyNamesADamagedRecoveryFileAndWhatTheRestRestore) {
    MakeSet({0, 1, 2, 3, 4, 5, 6, 7, 8});
    std::string index = dir.Read("_Split#.par2");
    index[index.size() - 200] ^= 1;
    dir.Write("_Split#.par2", index);
    const CliRun verify = Cli({"verify", "_Split#000"});
    EXPECT_EQ(0, verify.status) << verify.err;
    EXPECT_EQ(0u, verify.out.find("damaged recovery file: _Split#.par2 (1 packet unreadable)\n"
                                  "the intact recovery slices restore up to 2 more lost pieces\n"
                                  "all 3 pieces intact (8 recovery slices present)\n"))
        << verify.out;
}

TEST_F(RecoveryFaults, SwappedPiecesAreRebuiltAndWhatWasInTheirPlaceIsToldAsWhole) {
    MakeSet();
    std::filesystem::rename(dir.Native("_Split#000"), dir.Native("swap"));
    std::filesystem::rename(dir.Native("_Split#001"), dir.Native("_Split#000"));
    std::filesystem::rename(dir.Native("swap"), dir.Native("_Split#001"));
    const CliRun repair = Cli({"repair", "_Split#000"});
    EXPECT_EQ(0, repair.status) << repair.err;
    EXPECT_NE(std::string::npos, repair.out.find("rebuilt: _Split#000 (copied from _Split#001; the whole _Split#001 "
                                                 "that was there kept as _Split#000.damaged)\n"))
        << repair.out;
}
