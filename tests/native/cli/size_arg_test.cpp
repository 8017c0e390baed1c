// Piece sizes and counts as the command line reads them.
#include <gtest/gtest.h>

#include "cli/size_arg.h"

TEST(SizeArg, PresetsSuffixesAndRefusals) {
    const struct {
        const char* text;
        int64_t bytes; // 0: refused
    } cases[] = {
        {"floppy", 1457664},
        {"cd", 734003200},
        {"dvd", 4700000000},
        {"fat32", 4294967295},
        {"email", 25000000},
        {"1457664", 1457664},
        {"100K", 102400},
        {"100k", 102400},
        {"700M", 734003200},
        {"2G", 2147483648},
        {"8589934591G", 9223372035781033984},
        {"0", 0},
        {"0K", 0},
        {"-5", 0},
        {"+5", 0},
        {"9223372036854775808", 0},
        {"8589934592G", 0},
        {"", 0},
        {"K", 0},
        {"1.5M", 0},
        {"10 M", 0},
        {"10MB", 0},
        {"Floppy", 0},
        {"12abc", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Parsed<int64_t> parsed = ParseSizeArg(c.text);
        if (c.bytes == 0) {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
            EXPECT_NE(std::string::npos, std::get<std::string>(parsed).find(std::string("\"") + c.text + "\""));
        } else {
            ASSERT_TRUE(std::holds_alternative<int64_t>(parsed)) << std::get<std::string>(parsed);
            EXPECT_EQ(c.bytes, std::get<int64_t>(parsed));
        }
    }
    EXPECT_EQ("size \"-5\" is negative", std::get<std::string>(ParseSizeArg("-5")));
    EXPECT_EQ("size \"0\" is zero: a piece holds at least one byte", std::get<std::string>(ParseSizeArg("0")));
    EXPECT_EQ("size \"8589934592G\" is too large", std::get<std::string>(ParseSizeArg("8589934592G")));
}

TEST(SizeArg, CountsFromTwoToAThousandGiveEqualPieces) {
    EXPECT_EQ(2, std::get<int>(ParseCountArg("2")));
    EXPECT_EQ(1000, std::get<int>(ParseCountArg("1000")));
    for (const char* refused : {"0", "1", "1001", "-3", "x", "", "99999999999"})
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseCountArg(refused))) << refused;
    // 10 bytes in 4 pieces: 3, 3, 3 and 1; the prefix counts toward the first piece.
    EXPECT_EQ(3, SplitSizeForCount(0, 10, 4));
    EXPECT_EQ(5, SplitSizeForCount(2, 8, 2));
}
