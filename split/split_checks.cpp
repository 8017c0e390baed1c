// The split's checks before writing, each telling the user why it refuses.
#include "split/split_checks.h"

#include <algorithm>

#include "core/piece_header.h"
#include "core/piece_name.h"
#include "platform/file.h"

namespace {

constexpr const char kNotSuccessful[] = "\nSplit  NOT  Successful";

// Piece order, the .exe standing for piece 0 after a plain "_Split#000", the recovery files last.
int OrderOf(const FoundFile& file) {
    const int n = PieceNumberOf(file.name.c_str(), file.name.size());
    return n >= 0 ? 2 * n : IsRecoveryFileName(file.name.c_str(), file.name.size()) ? 2 * kMaxPieces : 1;
}

} // namespace

std::optional<std::string> UnrecordableNameText(const std::string& largeFile) {
    const std::string name = RecordedName(largeFile);
    if (IsPlainFileName(name.c_str(), name.size()))
        return std::nullopt;
    return "File: " + largeFile + "\nIts name cannot be recorded in the first piece: no catenation could create " +
           "a file named \"" + name + "\" (a device name, a name ending in a dot or blank, or one too long)." +
           "\nSplit it \"Without CRC\", or rename it first." + kNotSuccessful;
}

std::optional<std::string> SelfCatenatingSizeText(int64_t splitSize, uint64_t stubSize, uint64_t headerSize) {
    const uint64_t prefix = stubSize + headerSize;
    if (splitSize > 0 && static_cast<uint64_t>(splitSize) > prefix)
        return std::nullopt;
    return "Split size " + std::to_string(splitSize) + " is too small for Self Catenate: the first piece holds " +
           "the catstub program (" + std::to_string(stubSize) + " bytes) and the header (" +
           std::to_string(headerSize) + " bytes) before any data.\nThe smallest split size that works is " +
           std::to_string(prefix + 1) + " bytes." + kNotSuccessful;
}

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
    const std::string count = pieces.size() == 1 ? "1 split file (" + pieces.front().name + ")"
                                                 : std::to_string(pieces.size()) + " split files (" +
                                                       pieces.front().name + " to " + pieces.back().name + ")";
    const std::string question = "The folder " + CurrentDirectory() + " already holds " + count +
                                 ", left from an earlier split.\nThey would be joined with the new pieces into a " +
                                 "wrong file.\n\nDelete them before splitting?";
    if (messenger.Show(question, Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
        return false;
    for (const FoundFile& piece : pieces) {
        if (!DeleteFileAt(piece.path)) {
            messenger.Show("Can't delete " + piece.name + " in " + CurrentDirectory() + "." + kNotSuccessful,
                           Icon::Hand);
            return false;
        }
    }
    return true;
}
