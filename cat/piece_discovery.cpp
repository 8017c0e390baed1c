// Piece discovery: the first piece's checks, the folder search and the order of the pieces.
#include "cat/piece_discovery.h"

#include <algorithm>

#include "cat/join_steps.h"
#include "cat/piece_search.h"
#include "core/file_checks.h"
#include "core/piece_name.h"
#include "platform/file.h"

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Orders names as an NTFS folder lists them: by upper-cased bytes, then by the bytes themselves so
// that names differing only in case keep a fixed order.
bool PieceNameLess(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char ua = static_cast<unsigned char>(Upper(a[i]));
        const unsigned char ub = static_cast<unsigned char>(Upper(b[i]));
        if (ua != ub)
            return ua < ub;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace

bool IsAcceptedPiecePath(const std::string& fullPath) {
    const PieceNameParts parts = PiecePartsOf(fullPath);
    return parts.number >= 0 && !parts.selfCatenating;
}

std::optional<std::vector<DiscoveredPiece>> DiscoverPieces(const std::string& firstPiecePath, Messenger& messenger) {
    bool failed = false;
    const PieceNameParts first = PiecePartsOf(firstPiecePath);
    if (first.number != 0 || first.selfCatenating) {
        messenger.Tell(told::NotAFirstPiece{firstPiecePath});
        failed = true;
    }
    if (const std::optional<Outcome> problem = FileProblem(firstPiecePath)) {
        messenger.Tell(*problem);
        messenger.Tell(told::FirstPieceNotAFile{firstPiecePath});
        failed = true;
    }
    if (failed)
        return std::nullopt;

    std::vector<DiscoveredPiece> pieces;
    for (FoundPiece& found : SearchPieces(firstPiecePath).found)
        if (!found.parts.selfCatenating)
            pieces.push_back({std::move(found.path), found.size});
    // FAT and POSIX folders list names in any order; the join relies on piece order.
    std::stable_sort(pieces.begin(), pieces.end(), [](const DiscoveredPiece& a, const DiscoveredPiece& b) {
        return PieceNameLess(NamePart(a.path), NamePart(b.path));
    });
    return pieces;
}
