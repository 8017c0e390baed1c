// fendrik-cli.exe under Wine: a split, a check and a join through the real console program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/file.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/support/built_programs.h"
#include "tests/wine/support/child_process.h"

namespace {

// Runs fendrik-cli.exe with arguments in folder and gives its exit status.
DWORD RunCli(const TempDir& folder, const std::string& arguments, DWORD timeoutMs = 60000) {
    ChildProcess cli(BuiltProgramPath("fendrik-cli.exe", FENDRIK_CLI_UNIX_PATH), arguments, folder.Path());
    EXPECT_TRUE(cli.Started()) << "CreateProcess error " << cli.StartError();
    EXPECT_TRUE(cli.WaitForExit(timeoutMs)) << "fendrik-cli " << arguments << " still ran at the deadline";
    return cli.ExitCode();
}

// One byte at a 64-bit offset, read with the Win32 calls themselves.
struct Mark {
    uint64_t offset;
    char byte;
};

// A sparse file of size bytes holding the marks: only they take room on disk.
bool MakeSparseFile(const std::string& path, uint64_t size, const std::vector<Mark>& marks) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD unused = 0;
    // Where the file system keeps no sparse files, the size is still set; the disk check allowed for it.
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER at;
    bool ok = true;
    for (const Mark& m : marks) {
        at.QuadPart = static_cast<LONGLONG>(m.offset);
        DWORD put = 0;
        ok = ok && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && WriteFile(file, &m.byte, 1, &put, nullptr) &&
             put == 1;
    }
    at.QuadPart = static_cast<LONGLONG>(size);
    ok = ok && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// The byte at offset, or '?' when it cannot be read.
char ByteAt(const std::string& path, uint64_t offset) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char byte = '?';
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE &&
        (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, &byte, 1, &got, nullptr) || got != 1))
        byte = '?';
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return byte;
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

// Sizes and offsets past 4 GiB through the Win32 back end: the pieces and the
// rejoined file are written in full, so the test needs their room on disk.
TEST(FendrikCli, AFileOverFourGibibytesSplitsAndRejoinsWhole) {
    TempDir dir;
    constexpr uint64_t k4GiB = uint64_t{1} << 32;
    constexpr uint64_t size = k4GiB + 1048579; // a little over 4 GiB, no multiple of the split size
    ULARGE_INTEGER available;
    constexpr uint64_t needed = 2 * size + (uint64_t{1} << 30); // the pieces, the rejoined file and 1 GiB to spare
    if (!GetDiskFreeSpaceExA(dir.Path().c_str(), &available, nullptr, nullptr) || available.QuadPart < needed)
        GTEST_SKIP() << "needs " << needed / (1u << 20) << " MiB free beside " << dir.Path() << " for the pieces and"
                     << " the rejoined file; " << available.QuadPart / (1u << 20) << " MiB are";
    const std::vector<Mark> marks = {
        {0, 'a'},       {(uint64_t{3} << 30) - 1, 'b'}, {uint64_t{3} << 30, 'c'}, {k4GiB - 1, 'd'}, {k4GiB, 'e'},
        {size - 1, 'f'}};
    ASSERT_TRUE(MakeSparseFile(dir.File("huge.bin"), size, marks)) << "error " << GetLastError();
    std::filesystem::create_directory(dir.Native("pieces"));
    std::filesystem::create_directory(dir.Native("out"));

    // Pieces of 3 GiB: the first one already passes 2 GiB, the second starts past 3 GiB and ends past 4 GiB.
    ASSERT_EQ(0u, RunCli(dir, "split huge.bin --size 3G -C pieces", 900000));
    EXPECT_EQ(0u, RunCli(dir, "join pieces\\_Split#000 -C out", 900000)) << "the join checks the recorded CRC-32";
    const std::string out = dir.File("out\\huge.bin");
    EXPECT_EQ(size, GetPathStatus(out).size);
    for (const Mark& m : marks)
        EXPECT_EQ(m.byte, ByteAt(out, m.offset)) << "at offset " << m.offset;
}
