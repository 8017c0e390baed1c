// The list boxes' menu rules that need no window.
#include "ui/menu_rules.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "core/piece_header.h"
#include "core/recorded_name.h"
#include "ui/resource.h"

namespace {

bool IsAbsolute(const std::string& path) {
    // "\\folder" (the current drive's root), "\\\\server\\share", "C:\\folder".
    return (!path.empty() && path[0] == '\\') || (path.size() >= 2 && path[1] == ':');
}

// A field as a message box shows it: up to its first zero byte, and no longer
// than any file name can be, so that a file without a header stays readable.
std::string ShownField(const char* bytes, size_t len) {
    constexpr size_t kShownFieldLimit = 260;
    const size_t shown = std::min(len, kShownFieldLimit);
    return std::string(bytes, std::find(bytes, bytes + shown, '\0'));
}

} // namespace

std::optional<ContextMenuChoice> ChooseContextMenu(bool inSplitList, bool inCatList, bool splitListHasEntries,
                                                   bool catListHasEntries, bool explicitSelection) {
    if (inSplitList) {
        if (splitListHasEntries)
            return ContextMenuChoice{IDM_SPLIT_LIST_MENU, {}};
        return ContextMenuChoice{IDM_SPLIT_LIST_MENU, {IDM_SPLIT_COPY, IDM_SPLIT_MOVE, IDM_SPLIT_DELETE}};
    }
    if (!inCatList)
        return std::nullopt;
    if (!catListHasEntries)
        return ContextMenuChoice{IDM_CAT_LIST_MENU,
                                 {IDM_CAT_POS_UP, IDM_CAT_POS_DOWN, IDM_CAT_COPY, IDM_CAT_MOVE, IDM_CAT_DELETE,
                                  IDM_CAT_FILE_INFO, IDM_CAT_SIZE_AND_CRC, IDM_CAT_CHECK_PIECES}};
    // Only a selection made file by file has an order the user sets; only a
    // discovered set starts with a first piece whose header can be read, and has recovery files.
    if (explicitSelection)
        return ContextMenuChoice{IDM_CAT_LIST_MENU, {IDM_CAT_FILE_INFO, IDM_CAT_CHECK_PIECES}};
    return ContextMenuChoice{IDM_CAT_LIST_MENU, {IDM_CAT_POS_UP, IDM_CAT_POS_DOWN}};
}

std::string EntryName(const std::string& line) {
    const size_t tab = line.rfind('\t');
    return tab == std::string::npos ? std::string() : line.substr(0, tab);
}

std::string SplitListFolder(const std::string& largeFileName, const std::string& currentDirectory) {
    const size_t slash = largeFileName.rfind('\\');
    if (slash == std::string::npos)
        return currentDirectory;
    const std::string folder = largeFileName.substr(0, slash);
    if (IsAbsolute(largeFileName))
        return folder;
    return JoinPath(currentDirectory, folder);
}

std::optional<std::string> SplitEntryPath(const std::string& folder, const std::string& line) {
    const std::string name = EntryName(line);
    if (name.empty())
        return std::nullopt;
    return JoinPath(folder, name);
}

std::string ShellNameList(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';
    return list;
}

CatEntry LocateCatEntry(int line, size_t lineCount, size_t catenationCount, size_t rejoinedCount) {
    if (line < 0 || static_cast<size_t>(line) >= lineCount)
        return {};
    const size_t at = static_cast<size_t>(line);
    // Counted from the end, the rejoined lines stay found even after the lines
    // above them were emptied while the catenation list was kept.
    const size_t rejoinedLines = std::min(lineCount, rejoinedCount);
    const size_t firstRejoined = lineCount - rejoinedLines;
    if (at >= firstRejoined)
        return {CatEntry::Kind::Rejoined, rejoinedCount - rejoinedLines + (at - firstRejoined)};
    if (at < catenationCount)
        return {CatEntry::Kind::Piece, at};
    return {};
}

void RemoveCatEntries(std::vector<int> lines, size_t lineCount, std::vector<std::string>& catenationList,
                      std::vector<std::string>& rejoinedPaths) {
    // From the last line up, so that the indices still to come stay valid.
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    const size_t catenationCount = catenationList.size();
    const size_t rejoinedCount = rejoinedPaths.size();
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const CatEntry entry = LocateCatEntry(*line, lineCount, catenationCount, rejoinedCount);
        if (entry.kind == CatEntry::Kind::Rejoined)
            rejoinedPaths.erase(rejoinedPaths.begin() + static_cast<std::ptrdiff_t>(entry.index));
        else if (entry.kind == CatEntry::Kind::Piece)
            catenationList.erase(catenationList.begin() + static_cast<std::ptrdiff_t>(entry.index));
    }
}

void RemoveFirstEqual(std::vector<std::string>& list, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const auto found = std::find(list.begin(), list.end(), path);
        if (found != list.end())
            list.erase(found);
    }
}

std::string PieceHeaderText(const uint8_t* bytes, size_t len) {
    PieceHeader header;
    RecordedNameBuffers nameBuffers;
    ReadPieceHeaderForFiles(bytes, std::min(len, kHeaderWindow), &header, &nameBuffers);
    const std::string name = header.name ? ShownField(header.name, header.nameLen) : std::string();
    return "Original File Name:\n" + name + "\n\nCRC32 in hex: " + ShownField(header.crc, header.crcLen);
}

std::string SizeAndCrcText(const std::string& path, int64_t size, uint32_t crc) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "bytes: %" PRId64 "\nCRC32 in hex: %" PRIX32, size, crc);
    return "File:\n" + path + "\n\n" + numbers;
}

std::string UnreadableFileText(const std::string& path, const std::string& reason) {
    return "Can't read File:\n" + path + "\n\n" + reason;
}
