// The list boxes' menu rules that need no window: which menu a right click
// opens and what it greys, which file an entry names, the shell's name lists,
// keeping the catenate half's lists entry for entry with its list box, and the
// texts of File Info and Size and CRC32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/path_text.h"

struct ContextMenuChoice {
    int menuId = 0;
    std::vector<unsigned> greyed; // command ids to grey and disable
};

// Where the click lies and what the dialog holds decide the menu; empty when
// the point lies in neither list box. A keyboard menu's point (-1, -1) is
// tested like any other.
std::optional<ContextMenuChoice> ChooseContextMenu(bool inSplitList, bool inCatList, bool splitListHasEntries,
                                                   bool catListHasEntries, bool explicitSelection);

// The text of a list-box line before its last tab; empty when it has no tab.
std::string EntryName(const std::string& line);

// The folder of the split list's files: the large file's folder, made absolute
// against currentDirectory, which is also where a bare name's pieces are listed.
std::string SplitListFolder(const std::string& largeFileName, const std::string& currentDirectory);

// The file a split-list line names; empty for a line without an entry name,
// which would otherwise name the folder itself.
std::optional<std::string> SplitEntryPath(const std::string& folder, const std::string& line);

// Names for the shell: each followed by one zero, the whole ended by another.
std::string ShellNameList(const std::vector<std::string>& paths);

// What line `line` of the catenate list box shows. Its last rejoinedCount lines
// are the rejoined files, in order; the lines before them are the catenation
// list's entries. A line that is neither names no known file.
struct CatEntry {
    enum class Kind { Piece, Rejoined, Unknown } kind = Kind::Unknown;
    size_t index = 0; // into the catenation list or the rejoined paths
};
CatEntry LocateCatEntry(int line, size_t lineCount, size_t catenationCount, size_t rejoinedCount);

// Takes out the entries that the given lines of the catenate list box showed
// (lineCount counted before the lines go), so that list box and lists stay alike.
void RemoveCatEntries(std::vector<int> lines, size_t lineCount, std::vector<std::string>& catenationList,
                      std::vector<std::string>& rejoinedPaths);

// For each path, in order, removes the first entry equal to it byte for byte;
// a path without an equal entry removes nothing.
void RemoveFirstEqual(std::vector<std::string>& list, const std::vector<std::string>& paths);

// The File Info text of the first bytes of a first piece: "Original File Name:\n"
// + name + "\n\nCRC32 in hex: " + CRC text, showing what is there even when it
// is no valid header.
std::string PieceHeaderText(const uint8_t* bytes, size_t len);

// The Size and CRC32 text of a file that could not be read: "Can't read File:\n" + path + "\n\n" + reason.
std::string UnreadableFileText(const std::string& path, const std::string& reason);

// The Size and CRC32 text; size -1 stands for no size.
std::string SizeAndCrcText(const std::string& path, int64_t size, uint32_t crc);
