#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "ui/list_lines.h"

TEST(ListLines, PieceAndSelectionLines) {
    EXPECT_EQ("_Split#003\t 1457664 bytes", PieceLine("C:\\x\\_Split#003", 1457664));
    EXPECT_EQ("big.bin\t 4294967296 bytes", PieceLine("big.bin", 4294967296ull)) << "sizes are 64-bit";
    EXPECT_EQ("_Split#000\t 0 bytes", PieceLine("D:\\_Split#000", 0));

    TempDir dir;
    dir.Write("five.bin", "12345");
    EXPECT_EQ("five.bin\t5 bytes", SelectionLine(dir.File("five.bin")));
    EXPECT_EQ("gone.bin\t", SelectionLine(dir.File("gone.bin"))) << "no size when the status cannot be read";
}
