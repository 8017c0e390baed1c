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
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const FoundFile& a, const FoundFile& b) { return OrderOf(a) < OrderOf(b); });
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
    Outcome question = CountedOutcome(OutcomeKind::LeftoverPieces, pieces.size());
    question.path = CurrentDirectory();
    question.name = pieces.front().name;
    question.other = pieces.back().name;
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
