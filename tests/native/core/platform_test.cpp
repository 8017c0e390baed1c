// The POSIX back end of the file layer.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file.h"
#include "platform/find_files.h"
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
        EXPECT_EQ(FileCause::AlreadyExists, e.Cause());
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

TEST(PlatformFind, PatternMatchesWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"_Split#000", "_split#001", "_SPLIT#002", "_Split#000.exe", "other", "x_Split#003"})
        dir.Write(name, "abc");
    std::filesystem::create_directory(dir.Native("_Split#004"));
    auto found = FindFiles(dir.Path() + "\\_Split#*");
    std::vector<std::string> names;
    for (const auto& f : found) {
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
