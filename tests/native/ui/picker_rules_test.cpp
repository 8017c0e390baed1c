// The pickers' window-free rules: filter buffer, recorded path, click order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/picker_rules.h"

namespace {

using Paths = std::vector<std::string>;

// The dialog's result for several files: folder, names, an empty name.
std::string MultiResult(const std::string& folder, const Paths& names) {
    std::string buffer = folder + '\0';
    for (const auto& n : names)
        buffer += n + '\0';
    buffer += '\0';
    buffer.resize(2096, '\0');
    return buffer;
}

Paths Order(const std::string& buffer, const Paths& record) {
    return OrderPickedFiles(buffer.data(), buffer.size(), record);
}

} // namespace

TEST(PickOrder, ClickedFilesComeInClickOrder) {
    const std::string buffer = MultiResult("D:\\set", {"A", "B", "C"});
    EXPECT_EQ((Paths{"D:\\set\\C", "D:\\set\\A", "D:\\set\\B"}),
              Order(buffer, {"D:\\set\\C", "D:\\set\\A", "D:\\set\\B"}));
}

TEST(PickOrder, TheInsideOfAShiftClickRangeGoesBetweenItsEnds) {
    const std::string buffer = MultiResult("D:\\set", {"A", "c", "B", "D"});
    EXPECT_EQ((Paths{"D:\\set\\A", "D:\\set\\B", "D:\\set\\c", "D:\\set\\D"}),
              Order(buffer, {"D:\\set\\A", "D:\\set\\D"}));
}

TEST(PickOrder, OneRecordedFileGoesLastAfterAllOthersSorted) {
    const std::string buffer = MultiResult("D:\\set", {"e", "F", "b", "a"});
    EXPECT_EQ((Paths{"D:\\set\\a", "D:\\set\\b", "D:\\set\\e", "D:\\set\\F"}), Order(buffer, {"D:\\set\\F"}));
}

TEST(PickOrder, RecordedFilesNotChosenInTheEndPlayNoPart) {
    const std::string buffer = MultiResult("D:\\set", {"B", "A"});
    EXPECT_EQ((Paths{"D:\\set\\B", "D:\\set\\A"}),
              Order(buffer, {"D:\\set\\X", "D:\\set\\B", "D:\\set\\Y", "D:\\set\\A"}));
}

TEST(PickOrder, TypedNamesNoneClickedAreSortedWithoutRegardToCase) {
    const std::string buffer = MultiResult("D:\\set", {"b2", "Ab", "a", "B1"});
    EXPECT_EQ((Paths{"D:\\set\\a", "D:\\set\\Ab", "D:\\set\\B1", "D:\\set\\b2"}), Order(buffer, {}))
        << "a capital A comes before a small b; a prefix sorts first";
}

TEST(PickOrder, BytesAbove127SortAfterLetters) {
    const std::string buffer = MultiResult("D:\\set", {"\xE4x", "z"});
    EXPECT_EQ((Paths{"D:\\set\\z", "D:\\set\\\xE4x"}), Order(buffer, {}));
}

TEST(PickOrder, OneChosenFileIsItsFullPathWhateverTheRecordHolds) {
    std::string buffer = std::string("D:\\set\\only.bin") + '\0' + '\0';
    buffer.resize(2096, '\0');
    EXPECT_EQ((Paths{"D:\\set\\only.bin"}), Order(buffer, {"D:\\set\\other", "D:\\set\\only.bin"}));
}

TEST(PickOrder, ADriveRootGivesOneBackslash) {
    const std::string buffer = MultiResult("C:\\", {"a", "b"});
    EXPECT_EQ((Paths{"C:\\a", "C:\\b"}), Order(buffer, {}));
}

TEST(PickOrder, NamesRunningToTheEndOfTheBufferAreStillRead) {
    std::string buffer = std::string("D:\\s") + '\0' + "a" + '\0' + "bb";
    EXPECT_EQ((Paths{"D:\\s\\a", "D:\\s\\bb"}), Order(buffer, {}));
}

TEST(SelectionHook, PathOfTheFirstNameInTheFileNameField) {
    EXPECT_EQ("C:\\data\\a.bin", SelectedPath("C:\\data", "a.bin"));
    EXPECT_EQ("C:\\data\\a.bin", SelectedPath("C:\\data\\\\", "a.bin")) << "trailing backslashes dropped";
    EXPECT_EQ("C:\\a.bin", SelectedPath("C:\\", "a.bin"));
    EXPECT_EQ("C:\\data\\first one", SelectedPath("C:\\data", "\"first one\" \"second\""));
    EXPECT_EQ("C:\\data\\open", SelectedPath("C:\\data", "\"open")) << "an unclosed quote runs to the end";
}

TEST(SelectionHook, RecordKeepsFirstSelectionOrderWithoutDuplicates) {
    std::vector<std::string> record;
    for (const char* p : {"C:\\a", "C:\\b", "C:\\a", "C:\\A", "C:\\b"})
        RecordSelection(record, p);
    EXPECT_EQ((Paths{"C:\\a", "C:\\b", "C:\\A"}), record) << "comparison is exact, so case counts";
}

TEST(FilterBuffer, EmptyFilterGivesAllFiles) {
    const auto buffer = MakeFilterBuffer("");
    EXPECT_EQ(std::string("All (*.*)\0*.*\0\0", 16), std::string(buffer.data(), 16));
    EXPECT_EQ(256u, buffer.size());
}

TEST(FilterBuffer, CallersFilterReplacesTheDefaultWhole) {
    const std::string filter("All (*.*)\0*.*\0_Split#nnn\0_Split#*\0", 34);
    const auto buffer = MakeFilterBuffer(filter);
    EXPECT_EQ(filter + '\0', std::string(buffer.data(), 35));
    EXPECT_EQ('\0', buffer[35]);

    const auto first = MakeFilterBuffer(std::string("_Split#000 (_Split#000)\0_Split#000\0", 35));
    EXPECT_EQ(std::string("_Split#000 (_Split#000)\0_Split#000\0\0", 36), std::string(first.data(), 36))
        << "no trace of the default filter remains";
    EXPECT_EQ(std::string(220, '\0'), std::string(first.data() + 36, 220));
}

TEST(FilterBuffer, AFilterTooLongIsCutAndStillEndsWithTwoZeros) {
    const auto buffer = MakeFilterBuffer(std::string(300, 'x'));
    EXPECT_EQ('\0', buffer[254]);
    EXPECT_EQ('\0', buffer[255]);
    EXPECT_EQ('x', buffer[253]);
}
