// The check that a split never empties its own large file.
#include "split/large_file_guard.h"

#include <cctype>

#include "core/piece_name.h"
#include "platform/file.h"

namespace {

// One spelling per folder: '\\' separators, lower case, no trailing separator.
std::string FolderKey(std::string folder) {
    for (char& c : folder)
        c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (folder.size() > 1 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == 0;
}

} // namespace

bool IsAmongNewPieces(const std::string& largeFile, uint64_t pieceCount, bool selfCatenating,
                      const std::string& currentDir) {
    if (pieceCount == 0)
        return false;
    const std::string name = NamePart(largeFile);
    const bool isNewPiece = [&] {
        if (selfCatenating && SameNameIgnoringCase(name, kSelfCatenatingName))
            return true;
        const int n = PieceNumberOf(name.c_str(), name.size());
        return n >= (selfCatenating ? 1 : 0) && static_cast<uint64_t>(n) < pieceCount;
    }();
    if (!isNewPiece)
        return false;
    const std::string folder = FolderPart(largeFile);
    if (largeFile.find('\\') == std::string::npos || folder == ".")
        return true;
    return FolderKey(folder) == FolderKey(currentDir);
}
