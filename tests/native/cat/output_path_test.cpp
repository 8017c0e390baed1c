// Output paths and the comparison that keeps a join from writing over its inputs.
#include <gtest/gtest.h>

#include "cat/output_path.h"
#include "tests/support/temp_dir.h"

TEST(OutputPath, ResolvesAgainstTheCurrentDirectory) {
    TempDir dir;
    dir.Enter();
    EXPECT_EQ(dir.File("out.bin"), OutputPathFor("out.bin"));
    EXPECT_EQ(dir.File("out.bin"), FullPathOf("out.bin"));
    EXPECT_EQ(dir.File("out.bin"), FullPathOf(dir.Path() + "\\sub\\..\\.\\out.bin"));
    EXPECT_EQ("C:\\a\\c", FullPathOf("C:\\a\\b\\..\\c"));
    EXPECT_EQ("C:\\", FullPathOf("C:\\..\\.."));
}

TEST(OutputPath, SamePlaceIgnoresCaseAndSpelling) {
    TempDir dir;
    dir.Enter();
    EXPECT_TRUE(SamePlace("C:\\Work\\_Split#002", "c:\\work\\_SPLIT#002"));
    EXPECT_TRUE(SamePlace("C:\\Work\\x", "C:\\Work\\\\x"));
    EXPECT_FALSE(SamePlace("C:\\Work\\x", "D:\\Work\\x"));
    EXPECT_FALSE(SamePlace("C:\\Work\\x", "C:\\Work\\x1"));
    EXPECT_TRUE(SamePlace(OutputPathFor("Piece"), dir.File("PIECE")));

    const std::vector<std::string> inputs = {dir.File("a"), dir.File("b")};
    ASSERT_NE(nullptr, InputAt(OutputPathFor("B"), inputs));
    EXPECT_EQ(dir.File("b"), *InputAt(OutputPathFor("B"), inputs));
    EXPECT_EQ(nullptr, InputAt(OutputPathFor("c"), inputs));
}
