// Piece discovery: the digit rule, the first piece's checks with their messages, and the order.
#include <gtest/gtest.h>

#include <filesystem>

#include "cat/piece_discovery.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> NamesOf(const std::vector<DiscoveredPiece>& pieces) {
    std::vector<std::string> names;
    for (const auto& p : pieces)
        names.push_back(p.path.substr(p.path.rfind('\\') + 1));
    return names;
}

} // namespace

TEST(PieceDiscovery, PieceRuleWantsSplitAndExactlyThreeDigits) {
    EXPECT_TRUE(IsAcceptedPiecePath("C:\\x\\_Split#000"));
    EXPECT_TRUE(IsAcceptedPiecePath("_sPLIT#999")) << "any letter case";
    EXPECT_FALSE(IsAcceptedPiecePath("C:\\x\\_Split#bak001")) << "a backup beside a set is no piece of it";
    EXPECT_FALSE(IsAcceptedPiecePath("C:\\x\\_Split#01")) << "two digits";
    EXPECT_FALSE(IsAcceptedPiecePath("C:\\x\\_Split#0001")) << "four digits";
    EXPECT_FALSE(IsAcceptedPiecePath("C:\\x\\_Split#000.exe"));
    EXPECT_FALSE(IsAcceptedPiecePath("x\\abcdefg123")) << "another prefix";
    EXPECT_FALSE(IsAcceptedPiecePath(""));
}

TEST(PieceDiscovery, ListsAcceptedSiblingsInNameOrderWhateverTheFolderOrder) {
    TempDir dir;
    // Created in reverse order and in mixed letter case: the folder's own order must not matter.
    dir.Write("_Split#abc123", "abc");
    std::filesystem::create_directory(dir.Native("_Split#005"));
    dir.Write("_split#002", "22");
    dir.Write("_SPLIT#001", "1");
    dir.Write("_Split#000.exe", "stub");
    dir.Write("_Split#01", "x");
    dir.Write("_Split#0001", "x");
    dir.Write("other.bin", "x");
    dir.Write("_Split#000", "0000");

    RecordingMessenger messenger;
    const auto pieces = DiscoverPieces(dir.File("_Split#000"), messenger);
    ASSERT_TRUE(pieces.has_value());
    EXPECT_TRUE(messenger.shown.empty() && messenger.told.empty());
    const std::vector<std::string> expected = {"_Split#000", "_SPLIT#001", "_split#002", "_Split#005"};
    EXPECT_EQ(expected, NamesOf(*pieces)) << "a folder whose name fits is listed; .exe, two and four digits are not";
    ASSERT_EQ(4u, pieces->size());
    EXPECT_EQ(dir.File("_Split#000"), (*pieces)[0].path);
    EXPECT_EQ(4u, (*pieces)[0].size);
    EXPECT_EQ(2u, (*pieces)[2].size);
}

TEST(PieceDiscovery, ABareFirstPieceIsSearchedForInTheCurrentDirectory) {
    TempDir dir;
    dir.Write("_Split#000", "a");
    dir.Write("_Split#001", "b");
    dir.Enter();
    RecordingMessenger messenger;
    const auto pieces = DiscoverPieces("_Split#000", messenger);
    ASSERT_TRUE(pieces.has_value());
    EXPECT_EQ((std::vector<std::string>{"_Split#000", "_Split#001"}), NamesOf(*pieces));
}

TEST(PieceDiscovery, WrongNameOnAMissingFileGivesThreeMessagesInOrder) {
    TempDir dir;
    const std::string path = dir.File("nothing.bin");
    RecordingMessenger messenger;
    EXPECT_FALSE(DiscoverPieces(path, messenger).has_value());
    EXPECT_EQ((std::vector<OutcomeKind>{OutcomeKind::NotAFirstPiece, OutcomeKind::FileUnreadable,
                                        OutcomeKind::FirstPieceNotAFile}),
              messenger.Kinds());
    EXPECT_EQ(path, messenger.told[0].As<told::NotAFirstPiece>().path);
    EXPECT_EQ(path, messenger.told[1].As<told::FileUnreadable>().path);
    EXPECT_NE(0u, messenger.told[1].As<told::FileUnreadable>().systemError);
    EXPECT_TRUE(messenger.shown.empty()) << "facts only: the front ends word them";
}

TEST(PieceDiscovery, FirstPieceInAnyLetterCaseMustBeAFile) {
    TempDir dir;
    dir.Write("_split#000", "lower case on disk");
    std::filesystem::create_directory(dir.Native("sub"));
    std::filesystem::create_directory(dir.Native("sub/_Split#000"));

    RecordingMessenger lower;
    EXPECT_TRUE(DiscoverPieces(dir.File("_split#000"), lower).has_value()) << "as media and copy tools write it";
    EXPECT_TRUE(lower.told.empty() && lower.shown.empty());
    EXPECT_FALSE(DiscoverPieces(dir.File("_Split#000.exe"), lower).has_value());
    ASSERT_FALSE(lower.told.empty());
    EXPECT_EQ(OutcomeKind::NotAFirstPiece, lower.told.front().Kind());

    RecordingMessenger folder;
    const std::string folderPath = dir.File("sub") + "\\_Split#000";
    EXPECT_FALSE(DiscoverPieces(folderPath, folder).has_value());
    EXPECT_EQ(folder.Kinds(), (std::vector<OutcomeKind>{OutcomeKind::FileIsFolder, OutcomeKind::FirstPieceNotAFile}));
    EXPECT_EQ(folderPath, folder.told[0].As<told::FileIsFolder>().path);

    RecordingMessenger empty;
    EXPECT_FALSE(DiscoverPieces("", empty).has_value());
    EXPECT_EQ(3u, empty.told.size()) << "an empty path fails both checks, the file check saying why";
}
