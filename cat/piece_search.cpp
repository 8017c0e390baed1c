// Searching a set's folder once and tallying what it holds by piece number.
#include "cat/piece_search.h"

#include "platform/file.h"
#include "platform/find_files.h"

namespace {

// A bare name is searched for in the current directory, where it was opened, not in the root.
std::string PatternBeside(const std::string& piecePath) {
    if (piecePath.rfind('\\') == std::string::npos)
        return kPiecePattern;
    return FolderPart(piecePath) + "\\" + kPiecePattern;
}

} // namespace

PieceSearch SearchPieces(const std::string& piecePath) {
    PieceSearch search;
    for (FoundFile& file : FindFiles(PatternBeside(piecePath))) {
        const PieceNameParts parts = ParsePieceName(file.name.data(), file.name.size());
        if (parts.number < 0)
            continue;
        const int entry = static_cast<int>(search.found.size());
        const bool irregular = file.isFolder || file.isSpecial;
        if (irregular && search.irregular < 0)
            search.irregular = entry;
        int earlier = -1;
        if (!parts.selfCatenating)
            earlier = search.numbered.Add(parts.number, entry);
        else if (search.selfCatenatingFirst < 0)
            search.selfCatenatingFirst = entry;
        else
            earlier = search.selfCatenatingFirst;
        if (earlier >= 0 && !search.HasDuplicate()) {
            search.duplicate[0] = earlier;
            search.duplicate[1] = entry;
        }
        search.found.push_back({std::move(file.path), file.size, parts, irregular});
    }
    return search;
}
