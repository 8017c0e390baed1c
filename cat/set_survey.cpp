// Surveying a set: the one search of its folder, pieces ordered by number, the header read.
#include "cat/set_survey.h"

#include "cat/join_steps.h"
#include "cat/piece_search.h"
#include "core/file_checks.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/recorded_name.h"
#include "core/stub_image.h"
#include "platform/file.h"

namespace {

// Reads the header window from the first piece's data area.
void ReadHeader(SetSurvey& set) {
    PieceNameParts parts;
    parts.number = 0;
    parts.selfCatenating = set.selfCatenating;
    const uint64_t dataArea = DataAreaStart(parts);
    File first(set.pieces[0].path, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> window(kHeaderWindow);
    const size_t filled = ReadFirstPieceWindow(first, parts, window.data());
    // The name as a join would create it; without a CRC field of 1 to 8 hex digits there is no header.
    PieceHeader header;
    RecordedNameBuffers nameBuffers;
    const HeaderStatus status = ReadPieceHeaderForFiles(window.data(), filled, &header, &nameBuffers);
    if (status == HeaderStatus::NoName) {
        set.dataStart = dataArea;
        return;
    }
    set.recordedCrc.assign(header.crc, header.crcLen);
    set.recordedName.assign(header.name, header.nameLen);
    set.header = status == HeaderStatus::Ok ? SetHeader::Recorded : SetHeader::Unusable;
    set.dataStart = dataArea + header.dataOffset;
}

// A usable piece named by the user: a piece's name, a file that can be read, and a regular one.
bool IsUsablePiece(const std::string& piecePath, const PieceNameParts& named, Messenger& messenger) {
    if (named.number < 0) {
        messenger.Tell(told::NotAPiece{piecePath});
        return false;
    }
    if (const std::optional<Outcome> problem = FileProblem(piecePath)) {
        messenger.Tell(*problem);
        return false;
    }
    if (GetEntryStatus(piecePath).isSpecial) {
        messenger.Tell(told::PieceNotRegular{piecePath});
        return false;
    }
    return true;
}

// False, after telling why, when the search found what no reader may take: an entry named like a piece
// that is not a file (a pipe or a device never ends or never holds what was split), or one number in two
// letter cases on a case-sensitive file system, where either could be the right one.
bool IsTakeable(const PieceSearch& search, Messenger& messenger) {
    if (search.irregular >= 0) {
        messenger.Tell(told::PieceNotRegular{search.found[search.irregular].path});
        return false;
    }
    if (search.HasDuplicate()) {
        told::DuplicatePiece duplicate;
        duplicate.path = search.found[search.duplicate[0]].path;
        duplicate.otherPath = search.found[search.duplicate[1]].path;
        messenger.Tell(duplicate);
        return false;
    }
    return true;
}

// The first piece of the set meant, or none; empty, after telling why, when both forms are there and
// the piece named does not say which one is meant.
std::optional<DiscoveredPiece> FirstPieceOf(const std::string& piecePath, const PieceNameParts& named,
                                            const PieceSearch& search, SetSurvey& set, Messenger& messenger) {
    const int plain = search.numbered.EntryOf(0);
    const int selfCatenating = search.selfCatenatingFirst;
    if (plain >= 0 && selfCatenating >= 0 && named.number != 0) {
        messenger.Tell(told::TwoFirstPieces{FolderPart(piecePath)});
        return std::nullopt;
    }
    set.selfCatenating = named.number == 0 ? named.selfCatenating : selfCatenating >= 0;
    if (named.number == 0)
        return DiscoveredPiece{piecePath, GetPathStatus(piecePath).size};
    const int first = set.selfCatenating ? selfCatenating : plain;
    return first >= 0 ? DiscoveredPiece{search.found[first].path, search.found[first].size} : DiscoveredPiece{};
}

// The pieces in number order after the first, the numbers missing among them, and their size.
void TallyLaterPieces(const PieceSearch& search, SetSurvey& set) {
    for (int n = 1; n <= search.numbered.Highest(); ++n) {
        const int entry = search.numbered.EntryOf(n);
        if (entry < 0)
            set.missing.push_back(n);
        else
            set.pieces.push_back({search.found[entry].path, search.found[entry].size});
    }
    for (const DiscoveredPiece& piece : set.pieces)
        set.piecesSize += piece.size;
}

} // namespace

std::optional<SetSurvey> SurveySet(const std::string& piecePath, Messenger& messenger) {
    const std::string name = NamePart(piecePath);
    const PieceNameParts named = ParsePieceName(name.data(), name.size());
    if (!IsUsablePiece(piecePath, named, messenger))
        return std::nullopt;
    const PieceSearch search = SearchPieces(piecePath);
    if (!IsTakeable(search, messenger))
        return std::nullopt;
    SetSurvey set;
    const std::optional<DiscoveredPiece> first = FirstPieceOf(piecePath, named, search, set, messenger);
    if (!first)
        return std::nullopt;
    const bool haveFirst = !first->path.empty();
    if (haveFirst)
        set.pieces.push_back(*first);
    else
        set.missing.push_back(0);
    TallyLaterPieces(search, set);
    if (haveFirst) {
        try {
            ReadHeader(set);
        } catch (const FileException& error) {
            told::FirstPieceUnreadable unreadable;
            unreadable.path = set.pieces[0].path;
            unreadable.reason = error.Description();
            messenger.Tell(unreadable);
            return std::nullopt;
        }
    }
    return set;
}
