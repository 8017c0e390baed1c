// Size steps, split count and the split-size text rule of the split half.
#include <gtest/gtest.h>

#include "ui/split_inputs.h"

TEST(SizeSteps, LabelsAndSizesOfTheTellingSteps) {
    struct Row {
        unsigned p;
        const char* label;
        int32_t size;
    };
    const Row rows[] = {
        {1, "100kB", 102400},       {2, "200kB", 204800},         {9, "900kB", 921600},
        {10, "1MB + 0kB", 1048576}, {14, "1MB + 400kB", 1458176}, {15, "1MB + 500kB", 1560576},
        {20, "2MB + 0kB", 2097152}, {40, "4MB + 0kB", 4194304},
    };
    for (const Row& row : rows) {
        const auto step = SizeStepAt(row.p);
        ASSERT_TRUE(step.has_value()) << "step " << row.p;
        EXPECT_EQ(row.label, step->label) << "step " << row.p;
        EXPECT_EQ(row.size, step->size) << "step " << row.p;
    }
}

TEST(SizeSteps, PositionsOutsideTheRangeGiveNoStep) {
    EXPECT_FALSE(SizeStepAt(0).has_value());
    EXPECT_FALSE(SizeStepAt(41).has_value());
    EXPECT_FALSE(SizeStepAt(65535).has_value());
}

TEST(SplitCount, ExactMultiplesAndRemainders) {
    EXPECT_EQ(std::optional<int64_t>(2), SplitCount(2915328, 1457664));
    EXPECT_EQ(std::optional<int64_t>(3), SplitCount(2915329, 1457664)) << "one byte more needs one more piece";
    EXPECT_EQ(std::optional<int64_t>(0), SplitCount(0, 1457664)) << "an empty file makes no piece";
    EXPECT_EQ(std::optional<int64_t>(1), SplitCount(1, 1457664));
}

TEST(SplitCount, FilesOf2GiBAndMoreAreCountedWithTheirRealSize) {
    const int64_t fiveGiB = 5LL * 1024 * 1024 * 1024;
    EXPECT_EQ(std::optional<int64_t>(3684), SplitCount(fiveGiB, 1457664));
    EXPECT_EQ(std::optional<int64_t>(1280), SplitCount(fiveGiB, 4194304));
    EXPECT_EQ(std::optional<int64_t>(2), SplitCount(2147483648LL, 2147483647));
}

TEST(SplitCount, StubAndHeaderCountTowardTheFirstPiece) {
    EXPECT_EQ(std::optional<int64_t>(2), SplitCount(1000, 1000, 0, 17)) << "the header pushes one byte over";
    EXPECT_EQ(std::optional<int64_t>(2), SplitCount(100000, 45056 + 17 + 40000, 45056, 17));
    EXPECT_FALSE(SplitCount(20000, 40000, 45056, 17).has_value()) << "no room for data: the split refuses it";
    EXPECT_FALSE(SplitCount(20000, 45056 + 17, 45056, 17).has_value());
}

TEST(SplitCount, NoCountWithoutASizeOrASplitSize) {
    EXPECT_FALSE(SplitCount(-1, 1457664).has_value()) << "missing file";
    EXPECT_FALSE(SplitCount(1000, 0).has_value()) << "no valid split size";
    EXPECT_FALSE(SplitCount(1000, -5).has_value());
}

TEST(SplitCount, Text) {
    EXPECT_EQ("# splits:", SplitCountText(std::nullopt));
    EXPECT_EQ("# splits: 0", SplitCountText(0));
    EXPECT_EQ("# splits: 3684", SplitCountText(3684));
}

TEST(SplitSizeText, AcceptedTextsReadLikeAtoi) {
    struct Row {
        const char* text;
        int32_t size;
    };
    const Row rows[] = {{"1457664", 1457664},       {" 100", 100}, {"\t100", 100}, {"100abc", 100}, {"+7", 7},
                        {"2147483647", 2147483647}, {"007", 7}};
    for (const Row& row : rows) {
        const SplitSizeText parsed = ParseSplitSize(row.text);
        EXPECT_EQ(SplitSizeKind::Valid, parsed.kind) << '"' << row.text << '"';
        EXPECT_EQ(row.size, parsed.size) << '"' << row.text << '"';
    }
}

TEST(SplitSizeText, SizesASplitCannotUseAreRefused) {
    for (const char* text : {"0", "abc", "-5", "-", " ", "2147483648", "99999999999999999999", "-0", "x100"})
        EXPECT_EQ(SplitSizeKind::Refused, ParseSplitSize(text).kind) << '"' << text << '"';
}

TEST(SplitSizeText, AnEmptyEditIsNoSizeButNoComplaint) {
    const SplitSizeText parsed = ParseSplitSize("");
    EXPECT_EQ(SplitSizeKind::Empty, parsed.kind);
    EXPECT_EQ(0, parsed.size);
}
