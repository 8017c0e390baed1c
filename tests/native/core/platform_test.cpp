// What only the POSIX back end of the file layer meets: entries that are no
// plain file. The contract both back ends share is in tests/support/platform_shared_test.cpp.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/find_files.h"
#include "tests/support/temp_dir.h"

TEST(PosixFind, ALinkLeadingNowhereIsNoMatchAndAPipeIsNoFile) {
    TempDir dir;
    dir.Write("_Split#000", "abc");
    std::filesystem::create_symlink(dir.Native("gone"), dir.Native("_Split#001"));
    ASSERT_EQ(0, ::mkfifo(dir.Native("_Split#002").c_str(), 0600));
    const std::vector<FoundFile> found = FindFiles(dir.Path() + "\\_Split#*");
    ASSERT_EQ(2u, found.size()) << "the dangling link has no size to show";
    for (const FoundFile& f : found) {
        EXPECT_EQ(f.name == "_Split#002", f.isSpecial) << f.name;
        EXPECT_EQ(f.name == "_Split#000" ? 3u : 0u, f.size) << f.name;
    }
}
