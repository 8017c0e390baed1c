// Surveying a set: the folder searched for "_Split#*", pieces ordered by number, the header read.
#include "cat/set_survey.h"

#include "cat/join_steps.h"
#include "core/file_checks.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/recorded_name.h"
#include "core/stub_image.h"
#include "platform/file.h"
#include "platform/find_files.h"

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

} // namespace

std::optional<SetSurvey> SurveySet(const std::string& piecePath, Messenger& messenger) {
    const std::string name = NamePart(piecePath);
    const PieceNameParts named = ParsePieceName(name.data(), name.size());
    const int namedNumber = named.number;
    const bool namedSelfCatenating = named.selfCatenating;
    if (namedNumber < 0) {
        messenger.Show("File: " + piecePath +
                           "\nIs not a piece of a split set (_Split#000 to _Split#999, _Split#000.exe)",
                       Icon::Exclamation);
        return std::nullopt;
    }
    if (!CheckFile(piecePath, true, messenger))
        return std::nullopt;
    if (GetEntryStatus(piecePath).isSpecial) {
        messenger.Tell({OutcomeKind::PieceNotRegular, piecePath});
        return std::nullopt;
    }

    const std::string folder = FolderPart(piecePath);
    const std::string pattern =
        piecePath.rfind('\\') == std::string::npos ? kPiecePattern : folder + "\\" + kPiecePattern;
    std::vector<DiscoveredPiece> byNumber(kMaxPieces);
    std::vector<bool> present(kMaxPieces, false);
    DiscoveredPiece plainFirst, selfCatenatingFirst;
    for (const FoundFile& found : FindFiles(pattern)) {
        const PieceNameParts parts = ParsePieceName(found.name.data(), found.name.size());
        if (parts.number < 0)
            continue;
        // A pipe or a device never ends or never holds what was split: named, never opened.
        if (found.isFolder || found.isSpecial) {
            messenger.Tell({OutcomeKind::PieceNotRegular, found.path});
            return std::nullopt;
        }
        const DiscoveredPiece piece{found.path, found.size};
        DiscoveredPiece& slot =
            parts.number == 0 ? (parts.selfCatenating ? selfCatenatingFirst : plainFirst) : byNumber[parts.number];
        // Two spellings of one number on a case-sensitive file system: either could be the right one.
        if (!slot.path.empty()) {
            messenger.Tell({OutcomeKind::DuplicatePiece, slot.path, found.path});
            return std::nullopt;
        }
        slot = piece;
        present[parts.number] = true;
    }

    SetSurvey set;
    const bool havePlain = !plainFirst.path.empty(), haveSelfCatenating = !selfCatenatingFirst.path.empty();
    if (havePlain && haveSelfCatenating && namedNumber != 0) {
        messenger.Show("Folder: " + folder +
                           "\nHolds both _Split#000 and _Split#000.exe, the first pieces of two "
                           "sets.\nName the first piece of the set you mean.",
                       Icon::Exclamation);
        return std::nullopt;
    }
    set.selfCatenating = namedNumber == 0 ? namedSelfCatenating : haveSelfCatenating;
    if (namedNumber == 0)
        byNumber[0] = {piecePath, GetPathStatus(piecePath).size};
    else if (present[0])
        byNumber[0] = set.selfCatenating ? selfCatenatingFirst : plainFirst;

    int last = -1;
    for (int n = 0; n < kMaxPieces; ++n)
        if (present[n])
            last = n;
    for (int n = 0; n <= last; ++n) {
        if (!present[n]) {
            set.missing.push_back(n);
            continue;
        }
        set.pieces.push_back(byNumber[n]);
        set.piecesSize += byNumber[n].size;
    }
    if (present[0]) {
        try {
            ReadHeader(set);
        } catch (const FileException& error) {
            messenger.Show("Can't read the first piece\n" + error.Description(), Icon::Hand);
            return std::nullopt;
        }
    }
    return set;
}
