// The file layer's contract, the same on both back ends: compiled into the
// native core tests and into the Windows platform tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/file.h"
#include "platform/find_files.h"
#include "platform/path_text.h"
#include "platform/unique_handle.h"
#include "tests/support/temp_dir.h"

TEST(PlatformFile, ReadWriteSeekLengthRoundTrip) {
    TempDir dir;
    {
        File out(dir.File("a.bin"), File::Mode::CreateAlways);
        out.Write("hello world", 11);
        out.Close();
    }
    File in(dir.File("a.bin"), File::Mode::ReadDenyWrite);
    EXPECT_EQ(11u, in.Length());
    in.Seek(6);
    char buf[16] = {};
    EXPECT_EQ(5u, in.Read(buf, sizeof buf));
    EXPECT_EQ("world", std::string(buf, 5));
    EXPECT_EQ(0u, in.Read(buf, sizeof buf));
}

TEST(PlatformFile, AWriteLongerThanOneCallArrivesWhole) {
    TempDir dir;
    const std::string bytes = TestBytes(2 * File::kWriteChunk + 3);
    {
        File out(dir.File("a.bin"), File::Mode::CreateAlways);
        out.Write(bytes.data(), bytes.size());
        out.Close();
    }
    EXPECT_EQ(bytes, dir.Read("a.bin"));
}

TEST(PlatformFile, CreateEmptiesAnExistingFile) {
    TempDir dir;
    dir.Write("x", "old content");
    File f(dir.File("x"), File::Mode::CreateAlwaysReadWrite);
    EXPECT_EQ(0u, f.Length());
}

// Nothing the user already has may be emptied or replaced by CreateNew or a plain rename.
TEST(PlatformFile, CreateNewAndRenameLeaveAnExistingFileAlone) {
    TempDir dir;
    dir.Write("x", "old content");
    try {
        File f(dir.File("x"), File::Mode::CreateNew);
        FAIL() << "CreateNew opened an existing file";
    } catch (const FileException& e) {
        EXPECT_EQ(FileCause::AlreadyExists, e.Cause()) << e.Description();
    }
    dir.Write("new", "new content");
    EXPECT_THROW(RenameFile(dir.File("new"), dir.File("x"), false), FileException);
    EXPECT_EQ("old content", dir.Read("x"));
    RenameFile(dir.File("new"), dir.File("x"), true);
    EXPECT_EQ("new content", dir.Read("x"));
    EXPECT_FALSE(GetPathStatus(dir.File("new")).ok);
}

TEST(PlatformFile, FailedOpenNamesCauseAndFile) {
    TempDir dir;
    const std::string missing = dir.File("missing.bin");
    try {
        File f(missing, File::Mode::ReadDenyWrite);
        FAIL() << "opened a missing file";
    } catch (const FileException& e) {
        EXPECT_EQ(FileCause::FileNotFound, e.Cause());
        EXPECT_EQ(missing, e.FileName());
        EXPECT_NE(std::string::npos, e.Description().find(missing)) << e.Description();
        EXPECT_NE(std::string::npos, e.Description().find("not found")) << e.Description();
    }
    EXPECT_THROW(File(dir.Path(), File::Mode::ReadDenyWrite), FileException) << "a folder is not a file";
}

// A moved file is the new owner's: the old one neither closes nor uses it.
TEST(PlatformFile, AMovedFileKeepsItsHandle) {
    TempDir dir;
    File first(dir.File("a.bin"), File::Mode::CreateAlways);
    File second = std::move(first);
    EXPECT_FALSE(first.IsOpen());
    ASSERT_TRUE(second.IsOpen());
    second.Write("abc", 3);
    second.Close();
    EXPECT_EQ("abc", dir.Read("a.bin"));
}

TEST(PlatformFind, PatternMatchesWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"_Split#000", "_split#001", "_SPLIT#002", "_Split#000.exe", "other", "x_Split#003"})
        dir.Write(name, "abc");
    std::filesystem::create_directory(dir.Native("_Split#004"));
    std::vector<std::string> names;
    for (const auto& f : FindFiles(dir.Path() + "\\_Split#*")) {
        names.push_back(f.name);
        EXPECT_EQ(dir.File(f.name), f.path);
        EXPECT_EQ(f.isFolder ? 0u : 3u, f.size);
        EXPECT_EQ(f.name == "_Split#004", f.isFolder);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"_SPLIT#002", "_Split#000", "_Split#000.exe", "_Split#004", "_split#001"}),
              names);
    EXPECT_TRUE(FindFiles(dir.Path() + "\\nothing*").empty());
    EXPECT_TRUE(FindFiles(dir.File("no-such-folder") + "\\_Split#*").empty());
}

TEST(PlatformPath, NameAndFolderParts) {
    EXPECT_EQ("b.txt", NamePart("C:\\a\\b.txt"));
    EXPECT_EQ("C:\\a", FolderPart("C:\\a\\b.txt"));
    EXPECT_EQ("b.txt", NamePart("b.txt"));
    EXPECT_EQ("", FolderPart("b.txt"));
    EXPECT_EQ("", FolderPart("\\_Split#000"));
}

TEST(PlatformPath, JoinPathKeepsOneBackslashAlsoInAFixedBuffer) {
    EXPECT_EQ("D:\\out\\a.bin", JoinPath("D:\\out", "a.bin"));
    EXPECT_EQ("C:\\a.bin", JoinPath("C:\\", "a.bin")) << "a drive root already ends in one";
    EXPECT_EQ("\\a.bin", JoinPath("", "a.bin"));

    char fits[13];
    ASSERT_TRUE(JoinPath(fits, "C:\\dir\\", "a.bin"));
    EXPECT_STREQ("C:\\dir\\a.bin", fits);
    ASSERT_TRUE(JoinPath(fits, "C:\\dir", "a.bin")) << "the backslash is added as for a string";
    EXPECT_STREQ("C:\\dir\\a.bin", fits);
    char tooShort[12];
    EXPECT_FALSE(JoinPath(tooShort, "C:\\dir\\", "a.bin")) << "no room for the terminating zero";
}

TEST(PlatformPath, OnlyPosixSpellsFoldersWithSlashes) {
#ifdef _WIN32
    EXPECT_EQ("C:\\a\\b", NativePath("C:\\a\\b"));
    EXPECT_EQ("C:/a\\b", PortablePath("C:/a\\b")) << "Windows takes either as it is";
#else
    EXPECT_EQ("/tmp/a/b", NativePath("\\tmp\\a\\b"));
    EXPECT_EQ("\\tmp\\a\\b", PortablePath("/tmp/a/b"));
#endif
}

namespace {

// A handle that is a number, with a count of the closes per number.
struct CountingTraits {
    using Handle = int;
    static Handle Invalid() { return -1; }
    static void Close(Handle handle) { ++closes[handle]; }
    static inline int closes[4] = {};
};
using CountingHandle = UniqueHandle<CountingTraits>;

} // namespace

TEST(PlatformHandle, EveryHandleIsClosedOnceByItsLastOwner) {
    std::fill(std::begin(CountingTraits::closes), std::end(CountingTraits::closes), 0);
    {
        CountingHandle a(1);
        CountingHandle b = std::move(a);
        EXPECT_FALSE(a.IsValid());
        CountingHandle c(2);
        c = std::move(b); // closes 2, takes 1
        EXPECT_EQ(1, c.Get());
        c.Reset(3); // closes 1
        EXPECT_EQ(3, c.Release());
        EXPECT_FALSE(c.IsValid());
        CountingHandle none;
        EXPECT_FALSE(none.IsValid());
    }
    EXPECT_EQ((std::vector<int>{0, 1, 1, 0}),
              std::vector<int>(std::begin(CountingTraits::closes), std::end(CountingTraits::closes)))
        << "a released handle (3) is its taker's to close";
}
