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
    Outcome question = CountedOutcome(OutcomeKind::LeftoverPieces, pieceCount, pieces.size() - pieceCount);
    question.path = CurrentDirectory();
    if (pieceCount) {
        question.name = pieces.front().name;
        question.other = pieces[pieceCount - 1].name;
    }
    if (recovery != pieces.end()) {
        question.recorded = recovery->name;
        question.computed = pieces.back().name;
    }
    if (messenger.Ask(question) != Answer::Yes)
        return false;
    for (const FoundFile& piece : pieces) {
        if (!DeleteFileAt(piece.path)) {
            messenger.Tell({OutcomeKind::CannotDeletePiece, CurrentDirectory(), {}, {}, piece.name});
            return false;
        }
    }
    return true;
}
