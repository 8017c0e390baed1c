// The split list: what lies beside the large file after a split, and names
// that the header cannot carry as they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/find_files.h"
#include "platform/path_text.h"
#include "split_test_support.h"

using PieceList = SplitFolder;

namespace {

// "name size" per entry listed.
std::vector<std::string> Listed(const std::vector<FoundFile>& found) {
    std::vector<std::string> lines;
    for (const FoundFile& f : found)
        lines.push_back(f.name + " " + std::to_string(f.size));
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

TEST_F(PieceList, ListsEveryPieceWithItsSizeInTheSearchOrder) {
    dir.Write("other.txt", "x");
    RunSplit(dir, "big.bin", TestBytes(2500), 1000, false);
    dir.Write("_Split#000.exe", std::string(7, 'e'));
    const std::vector<std::string> lines = Listed(PiecesBeside(dir.File("big.bin")));

    std::vector<std::string> searchOrder;
    for (const FoundFile& found : FindFiles(dir.File("_Split#*")))
        searchOrder.push_back(found.name);
    ASSERT_EQ(lines.size(), searchOrder.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(0, lines[i].rfind(' ')), searchOrder[i]) << "line " << i << " out of order";
    EXPECT_EQ(Sorted(lines),
              (std::vector<std::string>{"_Split#000 1000", "_Split#000.exe 7", "_Split#001 1000", "_Split#002 500"}))
        << "every \"_Split#*\" file, the .exe of an earlier split included; nothing else";
}

TEST_F(PieceList, BareNameListsTheCurrentFolder) {
    RunSplit(dir, "big.bin", TestBytes(1500), 1000, false);
    EXPECT_EQ(Sorted(Listed(PiecesBeside("big.bin"))), (std::vector<std::string>{"_Split#000 1000", "_Split#001 500"}));
}

TEST_F(PieceList, SecondSplitDeletesAnEarlierSetOnlyAfterYes) {
    const std::string first = TestBytes(4500, 1);
    RunSplit(dir, "first.bin", first, 1000, false);
    dir.Write("_split#000.EXE", "an older self-catenating piece");
    const std::string second = TestBytes(1200, 2);
    SplitRun kept = RunSplit(dir, "second.bin", second, 1000, false);
    EXPECT_EQ(kept.result.end, SplitEnd::Refused);
    ASSERT_EQ(kept.messenger.told.size(), 1u);
    ASSERT_EQ(kept.messenger.told[0].Kind(), OutcomeKind::LeftoverPieces);
    const auto& asked = kept.messenger.told[0].As<told::LeftoverPieces>();
    EXPECT_EQ((std::vector<std::string>{asked.folder, std::to_string(asked.pieces), asked.firstPiece, asked.lastPiece}),
              (std::vector<std::string>{PortablePath(std::filesystem::current_path().string()), "6", "_Split#000",
                                        "_Split#004"}));
    EXPECT_EQ(dir.Read("_Split#004"), first.substr(4000)) << "No writes and deletes nothing";

    SplitRun replaced = RunSplit(dir, "second.bin", second, 1000, false, nullptr, "?", {Answer::Yes});
    EXPECT_EQ(replaced.result.end, SplitEnd::Done);
    EXPECT_EQ(Sorted(Listed(PiecesBeside(dir.File("second.bin")))),
              (std::vector<std::string>{"_Split#000 1000", "_Split#001 200"}))
        << "only the new set is left";
}

TEST_F(PieceList, SemicolonInTheNameIsRecordedAsUnderscore) {
    const std::string data = TestBytes(1500);
    SplitRun run = RunSplit(dir, "a;b.bin", data, 1000, true);
    EXPECT_EQ(run.result.end, SplitEnd::Done);
    const std::string header = CrcTextOf(data) + "#a_b.bin;";
    const std::string first = dir.Read("_Split#000");
    EXPECT_EQ(first.substr(0, header.size()), header) << "a ';' would end the recorded name early";
    EXPECT_EQ(first.substr(header.size()) + dir.Read("_Split#001"), data);
}
