// What only the Win32 back end of the file layer meets: real sharing modes and
// its error codes. The contract both back ends share is in tests/support/platform_shared_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/crc32.h"
#include "core/crc32_job.h"
#include "platform/error_text.h"
#include "platform/file.h"
#include "tests/support/temp_dir.h"

TEST(Win32File, DenyWriteKeepsOutASecondWriterButLetsReadersIn) {
    TempDir dir;
    dir.Write("a.bin", "data");
    File reader(dir.File("a.bin"), File::Mode::ReadDenyWrite);
    File secondReader(dir.File("a.bin"), File::Mode::ReadDenyWrite);
    try {
        File writer(dir.File("a.bin"), File::Mode::CreateAlways);
        FAIL() << "a writer got in";
    } catch (const FileException& e) {
        EXPECT_EQ(FileCause::SharingViolation, e.Cause()) << e.Description();
        EXPECT_EQ(dir.File("a.bin"), e.FileName());
        EXPECT_NE(std::string::npos, e.Description().find(dir.File("a.bin"))) << e.Description();
    }
    EXPECT_EQ("data", dir.Read("a.bin"));
}

TEST(Win32File, ExclusiveKeepsOutEveryone) {
    TempDir dir;
    File writer(dir.File("out.bin"), File::Mode::CreateAlways);
    writer.Write("x", 1);
    EXPECT_THROW(File(dir.File("out.bin"), File::Mode::ReadDenyWrite), FileException);
    EXPECT_EQ(CrcJobEnd::Failed, MeasureFileCrc(dir.File("out.bin"), {}).end) << "the CRC pass cannot read it either";
}

TEST(Win32File, ALockedFileCannotBeMeasured) {
    TempDir dir;
    dir.Write("locked", "abc");
    HANDLE h = CreateFileA(dir.File("locked").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(CrcJobEnd::Failed, MeasureFileCrc(dir.File("locked"), {}).end);
    CloseHandle(h);
    EXPECT_EQ(0x352441C2u, MeasureFileCrc(dir.File("locked"), {}).crc);
}

TEST(Win32Status, FolderMissingAndSixtyFourBitSize) {
    TempDir dir;
    EXPECT_TRUE(GetPathStatus(dir.Path()).isFolder);
    const PathStatus missing = GetPathStatus(dir.File("none"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), missing.error);
    EXPECT_FALSE(SystemErrorText(missing.error).empty());

    HANDLE h = CreateFileA(dir.File("big").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER at;
    at.QuadPart = 0x100000001ll;
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    EXPECT_EQ(0x100000001ull, GetPathStatus(dir.File("big")).size);
}
