// The split's checks on the folder it writes to, each telling the user why it refuses.
#include "split/split_checks.h"

#include <algorithm>

#include "core/piece_name.h"
#include "platform/file.h"

namespace {

// Piece order, the .exe standing for piece 0 after a plain "_Split#000", the recovery files last.
int OrderOf(const FoundFile& file) {
    const int n = PieceNumberOf(file.name.c_str(), file.name.size());
    return n >= 0 ? 2 * n : IsRecoveryFileName(file.name.c_str(), file.name.size()) ? 2 * kMaxPieces : 1;
}

} // namespace

std::vector<FoundFile> PiecesInCurrentDirectory() {
    std::vector<FoundFile> pieces;
    for (FoundFile& found : FindFiles(kPiecePattern)) {
        const char* name = found.name.c_str();
        const size_t len = found.name.size();
        if (!found.isFolder && !found.isSpecial &&
            (ParsePieceName(name, len).number >= 0 || IsRecoveryFileName(name, len)))
            pieces.push_back(std::move(found));
    }
    // The recovery files by name: the index file first, then the volumes in the order of their exponents.
    std::stable_sort(pieces.begin(), pieces.end(), [](const FoundFile& a, const FoundFile& b) {
        const int orderA = OrderOf(a), orderB = OrderOf(b);
        return orderA != orderB ? orderA < orderB : orderA == 2 * kMaxPieces && a.name < b.name;
    });
    return pieces;
}

const FoundFile* LargeFileAmong(const std::string& largeFile, const std::vector<FoundFile>& pieces) {
    for (const FoundFile& piece : pieces)
        if (IsSameFile(largeFile, piece.path))
            return &piece;
    return nullptr;
}

bool ClearLeftoverPieces(const std::vector<FoundFile>& pieces, Messenger& messenger) {
    if (pieces.empty())
        return true;
    // Pieces first, recovery files last (PiecesInCurrentDirectory's order), each kind named by its first and last.
    const auto recovery = std::find_if(pieces.begin(), pieces.end(), [](const FoundFile& f) {
        return IsRecoveryFileName(f.name.c_str(), f.name.size());
    });
    const size_t pieceCount = static_cast<size_t>(recovery - pieces.begin());
    told::LeftoverPieces question;
    question.folder = CurrentDirectory();
    question.pieces = pieceCount;
    question.recoveryFiles = pieces.size() - pieceCount;
    if (pieceCount) {
        question.firstPiece = pieces.front().name;
        question.lastPiece = pieces[pieceCount - 1].name;
    }
    if (recovery != pieces.end()) {
        question.firstRecoveryFile = recovery->name;
        question.lastRecoveryFile = pieces.back().name;
    }
    if (messenger.Ask(question) != Answer::Yes)
        return false;
    for (const FoundFile& piece : pieces) {
        if (!DeleteFileAt(piece.path)) {
            told::CannotDeletePiece cannot;
            cannot.name = piece.name;
            cannot.folder = CurrentDirectory();
            messenger.Tell(cannot);
            return false;
        }
    }
    return true;
}

Outcome SplitFailure(const std::string& what, int written) {
    if (written == 0)
        return told::SplitFileError{what};
    return told::SplitFailedCleanedUp{what, static_cast<uint64_t>(written)};
}
