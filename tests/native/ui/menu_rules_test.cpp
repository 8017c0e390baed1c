// The list boxes' menu rules: menu variants, entry names and paths, the shell's
// name lists, keeping the catenate lists alike, File Info and Size and CRC32 texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/menu_rules.h"
#include "ui/resource.h"

namespace {

using Ids = std::vector<unsigned>;
using Paths = std::vector<std::string>;

std::string HeaderText(const std::string& bytes) {
    return PieceHeaderText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

TEST(ContextMenu, EachVariantGreysItsItems) {
    struct Case {
        const char* what;
        bool inSplit, inCat, splitFull, catFull, explicitSelection;
        int menu;
        Ids greyed;
    };
    const Ids splitCommands{IDM_SPLIT_COPY, IDM_SPLIT_MOVE, IDM_SPLIT_DELETE};
    const Ids catCommands{IDM_CAT_POS_UP, IDM_CAT_POS_DOWN,  IDM_CAT_COPY,         IDM_CAT_MOVE,
                          IDM_CAT_DELETE, IDM_CAT_FILE_INFO, IDM_CAT_SIZE_AND_CRC, IDM_CAT_CHECK_PIECES};
    const Case cases[] = {
        {"split list with entries", true, false, true, false, false, IDM_SPLIT_LIST_MENU, {}},
        {"empty split list", true, false, false, true, true, IDM_SPLIT_LIST_MENU, splitCommands},
        {"discovered set", false, true, false, true, false, IDM_CAT_LIST_MENU, {IDM_CAT_POS_UP, IDM_CAT_POS_DOWN}},
        {"explicit selection",
         false,
         true,
         false,
         true,
         true,
         IDM_CAT_LIST_MENU,
         {IDM_CAT_FILE_INFO, IDM_CAT_CHECK_PIECES}},
        {"empty catenate list", false, true, true, false, true, IDM_CAT_LIST_MENU, catCommands},
    };
    for (const Case& c : cases) {
        const auto choice = ChooseContextMenu(c.inSplit, c.inCat, c.splitFull, c.catFull, c.explicitSelection);
        ASSERT_TRUE(choice.has_value()) << c.what << ": no menu";
        EXPECT_EQ(c.menu, choice->menuId) << c.what;
        EXPECT_EQ(c.greyed, choice->greyed) << c.what;
    }
}

TEST(ContextMenu, NoMenuOutsideBothListBoxes) {
    EXPECT_FALSE(ChooseContextMenu(false, false, true, true, false).has_value());
    EXPECT_FALSE(ChooseContextMenu(false, false, false, false, true).has_value());
}

TEST(EntryNames, TextBeforeTheLastTab) {
    EXPECT_EQ("_Split#001", EntryName("_Split#001\t 1457664 bytes"));
    EXPECT_EQ("a\tb", EntryName("a\tb\t12 bytes")) << "only the last tab ends the name";
    EXPECT_EQ("", EntryName("_Split#001")) << "a line without a tab has no entry name";
    EXPECT_EQ("", EntryName("\t5 bytes"));
}

TEST(EntryPaths, SplitListFilesLieInTheLargeFilesFolder) {
    EXPECT_EQ("D:\\data", SplitListFolder("D:\\data\\big.bin", "C:\\work"));
    EXPECT_EQ("C:\\work", SplitListFolder("big.bin", "C:\\work")) << "a bare name's pieces are listed here";
    EXPECT_EQ("C:\\work\\sub", SplitListFolder("sub\\big.bin", "C:\\work")) << "relative folders are made absolute";
    EXPECT_EQ("", SplitListFolder("\\big.bin", "C:\\work")) << "the current drive's root";
    EXPECT_EQ("\\\\server\\share", SplitListFolder("\\\\server\\share\\big.bin", "C:\\work"));

    EXPECT_EQ("D:\\data\\_Split#002", SplitEntryPath("D:\\data", "_Split#002\t 10 bytes").value_or("(none)"));
    EXPECT_EQ("\\_Split#002", SplitEntryPath("", "_Split#002\t 10 bytes").value_or("(none)"));
    EXPECT_FALSE(SplitEntryPath("D:\\data", "no tab here").has_value()) << "would name the folder itself";
}

TEST(ShellLists, EachNameEndsInZeroAndTheListInAnother) {
    EXPECT_EQ(std::string("C:\\a\0D:\\b\0\0", 11), ShellNameList({"C:\\a", "D:\\b"}));
    EXPECT_EQ(std::string("\0", 1), ShellNameList({}));
}

TEST(CatEntries, LinesNameCatenationEntriesThenRejoinedFiles) {
    // Three pieces and two rejoined files, entry for entry.
    EXPECT_EQ(CatEntry::Kind::Piece, LocateCatEntry(2, 5, 3, 2).kind);
    EXPECT_EQ(2u, LocateCatEntry(2, 5, 3, 2).index);
    EXPECT_EQ(CatEntry::Kind::Rejoined, LocateCatEntry(3, 5, 3, 2).kind);
    EXPECT_EQ(0u, LocateCatEntry(3, 5, 3, 2).index);
    EXPECT_EQ(1u, LocateCatEntry(4, 5, 3, 2).index);
    EXPECT_EQ(CatEntry::Kind::Unknown, LocateCatEntry(5, 5, 3, 2).kind) << "past the last line";
    EXPECT_EQ(CatEntry::Kind::Unknown, LocateCatEntry(-1, 5, 3, 2).kind) << "no selection";

    // The list box was emptied while the catenation list stayed, then a join
    // appended its line: that line is the rejoined file, not piece 0.
    EXPECT_EQ(CatEntry::Kind::Rejoined, LocateCatEntry(0, 1, 3, 1).kind);
    EXPECT_EQ(CatEntry::Kind::Unknown, LocateCatEntry(3, 4, 3, 0).kind) << "a line without a kept path";
}

TEST(CatEntries, RemovingLinesKeepsTheListsAlike) {
    Paths pieces{"D:\\p\\1", "D:\\p\\2", "D:\\p\\3", "D:\\p\\4", "D:\\p\\5"};
    Paths rejoined;
    RemoveCatEntries({3, 1}, 5, pieces, rejoined);
    EXPECT_EQ((Paths{"D:\\p\\1", "D:\\p\\3", "D:\\p\\5"}), pieces) << "the 2nd and 4th go, the rest keep their order";

    Paths cat{"D:\\p\\a", "D:\\p\\b"};
    Paths joined{"E:\\x\\File1", "E:\\x\\File2"};
    RemoveCatEntries({0, 3, 3}, 4, cat, joined);
    EXPECT_EQ((Paths{"D:\\p\\b"}), cat);
    EXPECT_EQ((Paths{"E:\\x\\File1"}), joined);
}

TEST(CatEntries, RemoveFirstEqualTakesOnlyExactMatches) {
    Paths list{"D:\\s\\_Split#000", "D:\\s\\_Split#001", "D:\\s\\_Split#001", "D:\\s\\_Split#002"};
    RemoveFirstEqual(list, {"D:\\s\\_Split#001", "d:\\s\\_Split#002", "D:\\s\\_Split#009"});
    EXPECT_EQ((Paths{"D:\\s\\_Split#000", "D:\\s\\_Split#001", "D:\\s\\_Split#002"}), list)
        << "one entry per path, compared byte for byte";
}

TEST(PieceHeaderInfo, ShowsNameAndCrcOfAHeader) {
    EXPECT_EQ("Original File Name:\ndata.bin\n\nCRC32 in hex: 1A2B3C", HeaderText("1A2B3C#data.bin;payload#x;y"));
}

TEST(PieceHeaderInfo, ShowsWhatIsThereWhenItIsNoValidHeader) {
    EXPECT_EQ("Original File Name:\n\n\nCRC32 in hex: plain data", HeaderText("plain data"))
        << "without '#' every byte read is the CRC text and the name is empty";
    EXPECT_EQ("Original File Name:\ncut off\n\nCRC32 in hex: AB", HeaderText("AB#cut off"))
        << "without ';' the name runs to the end of the bytes read";
    EXPECT_EQ("Original File Name:\n..\\evil\n\nCRC32 in hex: 12", HeaderText("12#..\\evil;"))
        << "a name the join refuses is still shown";
    EXPECT_EQ("Original File Name:\n\n\nCRC32 in hex: 7", HeaderText("7#;"));
    EXPECT_EQ("Original File Name:\na\n\nCRC32 in hex: MZ", HeaderText(std::string("MZ\0\0#a;", 7)))
        << "each field is shown up to its first zero byte, as a message box would stop there";
}

TEST(PieceHeaderInfo, LooksAtTheHeaderWindowOnly) {
    const std::string far = std::string(5000, 'x') + "#name;";
    const std::string text = HeaderText(far);
    EXPECT_EQ(std::string::npos, text.find("name")) << "a '#' beyond 4096 bytes is not part of the header";
    EXPECT_GT(text.size(), 50u);
    EXPECT_LT(text.size(), 400u) << "a long field is cut to a readable length, got " << text.size() << " bytes";
}

TEST(SizeAndCrcInfo, SixtyFourBitSizeAndUppercaseCrc) {
    EXPECT_EQ("File:\nD:\\a.bin\n\nbytes: 5000000000\nCRC32 in hex: ABC",
              SizeAndCrcText("D:\\a.bin", 5000000000LL, 0xABC));
    EXPECT_EQ("File:\nx\n\nbytes: -1\nCRC32 in hex: 0", SizeAndCrcText("x", -1, 0));
    EXPECT_EQ("File:\nx\n\nbytes: 0\nCRC32 in hex: FFFFFFFF", SizeAndCrcText("x", 0, 0xFFFFFFFF));
}
