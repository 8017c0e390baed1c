// fendrik-cli.exe under Wine: a split, a check and a join through the real console program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"
#include "tests/wine/support/built_programs.h"
#include "tests/wine/support/child_process.h"

namespace {

// Runs fendrik-cli.exe with arguments in folder and gives its exit status.
DWORD RunCli(const TempDir& folder, const std::string& arguments) {
    ChildProcess cli(BuiltProgramPath("fendrik-cli.exe", FENDRIK_CLI_UNIX_PATH), arguments, folder.Path());
    EXPECT_TRUE(cli.Started()) << "CreateProcess error " << cli.StartError();
    EXPECT_TRUE(cli.WaitForExit(60000)) << "fendrik-cli " << arguments << " still ran at the deadline";
    return cli.ExitCode();
}

} // namespace

TEST(FendrikCli, SplitsVerifiesAndJoinsASet) {
    TempDir dir;
    const std::string data = TestBytes(300000, 5);
    dir.Write("movie.avi", data);
    std::filesystem::create_directory(dir.Native("pieces"));
    std::filesystem::create_directory(dir.Native("out"));

    EXPECT_EQ(0u, RunCli(dir, "split movie.avi --size 100K -C pieces"));
    EXPECT_TRUE(dir.Exists("pieces/_Split#002"));
    EXPECT_FALSE(dir.Exists("pieces/_Split#003")) << "300000 bytes in pieces of 100 KiB make three";
    EXPECT_EQ(0u, RunCli(dir, "verify pieces\\_Split#002"));
    EXPECT_EQ(0u, RunCli(dir, "join pieces\\_Split#001 -C out"));
    EXPECT_TRUE(dir.Read("out/movie.avi") == data) << "the rejoined file differs from the large file";

    EXPECT_EQ(0u, RunCli(dir, "split movie.avi --size 100K --recovery 34% -C pieces --yes"));
    for (const char* name : {"_Split#.par2", "_Split#.vol000+001.par2", "_Split#.vol001+001.par2"})
        EXPECT_TRUE(dir.Exists(std::string("pieces/") + name)) << name;

    std::filesystem::remove(dir.Native("pieces/_Split#001"));
    EXPECT_EQ(1u, RunCli(dir, "verify pieces\\_Split#000")) << "a missing piece makes the set incomplete";
}

TEST(FendrikCli, AFileNamedOutsideEveryAnsiCodePageSplitsAndJoinsUnderItsName) {
    ASSERT_EQ(CP_UTF8, GetACP()) << "this Windows ignores the manifest's UTF-8 code page";
    TempDir dir;
    const std::string name = "\xE6\x98\xA0\xE7\x94\xBB \xF0\x9F\x8E\xAC.avi"; // Japanese "film" and a clapper board
    const std::string data = TestBytes(250000, 6);
    std::ofstream(dir.Native("") / std::filesystem::u8path(name), std::ios::binary) << data;
    std::filesystem::create_directory(dir.Native("pieces"));
    std::filesystem::create_directory(dir.Native("out"));

    EXPECT_EQ(0u, RunCli(dir, "split \"" + name + "\" --size 100K -C pieces"));
    EXPECT_EQ(0u, RunCli(dir, "join pieces\\_Split#000 -C out"));
    std::ifstream rejoined(dir.Native("out") / std::filesystem::u8path(name), std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(rejoined), {}) == data) << "not rejoined under its name";
}
