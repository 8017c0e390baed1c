// What a folder holds of one split set, found from any of its pieces: the
// pieces present and missing, the form of the first piece, and its header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cat/piece_discovery.h"
#include "core/messages.h"

enum class SetHeader {
    None,     // the first piece begins with data: the set was split without CRC
    Recorded, // CRC and original name recorded
    Unusable, // a header whose name cannot be created as a file
};

struct SetSurvey {
    std::vector<DiscoveredPiece> pieces; // present pieces in number order; the first when present is pieces[0]
    std::vector<int> missing;            // numbers from 0 to the highest present that are absent
    bool selfCatenating = false;         // the first piece is "_Split#000.exe"
    SetHeader header = SetHeader::None;
    std::string recordedCrc, recordedName;
    uint64_t dataStart = 0;  // offset of the first data byte in the first piece: catstub image and header skipped
    uint64_t piecesSize = 0; // bytes of all pieces present

    bool Complete() const { return missing.empty(); }
    // What a join writes: every piece but the image and header of the first.
    uint64_t JoinedSize() const { return piecesSize > dataStart ? piecesSize - dataStart : 0; }
};

// Surveys the set that piecePath ("_Split#000", "_Split#000.exe" or a later piece) belongs to. Empty, after
// telling why, when piecePath is not a usable piece, or when the folder holds both forms of the first piece
// and piecePath does not say which one is meant.
std::optional<SetSurvey> SurveySet(const std::string& piecePath, Messenger& messenger);
