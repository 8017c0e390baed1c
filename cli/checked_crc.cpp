#include "cli/checked_crc.h"

#include <map>
#include <vector>

#include "cat/joined_crc.h"
#include "cli/progress_line.h"
#include "core/crc32.h"
#include "platform/file.h"
#include "recovery/file_range.h"

namespace {

// The CRC-32 register of the first `len` bytes of a file (the part a join leaves out of the first piece);
// empty when the file no longer has them.
std::optional<uint32_t> RegisterOfHead(const std::string& path, uint64_t len) {
    File in(path, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> head(static_cast<size_t>(len));
    if (par2::ReadAt(in, 0, head.data(), head.size()) != head.size())
        return std::nullopt;
    return Crc32Fast(0xFFFFFFFFu, head.data(), head.size());
}

} // namespace

std::optional<CrcJobResult> CrcFromCheck(const SetSurvey& set, const par2::SetCheck& check) {
    std::map<std::string, const par2::PieceCheck*> intact;
    for (const par2::PieceCheck& piece : check.pieces)
        if (piece.state == par2::PieceCondition::Intact)
            intact[piece.path] = &piece;
    CrcJobResult result;
    uint32_t reg = 0xFFFFFFFFu;
    for (size_t i = 0; i < set.pieces.size(); ++i) {
        const auto found = intact.find(set.pieces[i].path);
        if (found == intact.end() || found->second->presentLength != set.pieces[i].size)
            return std::nullopt;
        const uint64_t length = found->second->presentLength;
        const uint64_t skip = i == 0 ? set.dataStart : 0;
        if (skip > length)
            return std::nullopt;
        uint32_t pieceReg = found->second->crcRegister;
        if (skip > 0) { // the piece's data from its header's end: its whole register less its head's
            const std::optional<uint32_t> head = RegisterOfHead(set.pieces[i].path, skip);
            if (!head)
                return std::nullopt;
            pieceReg = Crc32Combine(*head, pieceReg, length - skip);
        }
        reg = Crc32Combine(reg, pieceReg, length - skip);
        result.bytes += length - skip;
    }
    result.end = CrcJobEnd::Done;
    result.crc = reg ^ 0xFFFFFFFFu;
    return result;
}

CrcJobResult JoinedCrc(const SetSurvey& set, const par2::CheckResult& checked, Console& console) {
    if (checked.outcome == par2::CheckOutcome::Checked) {
        try {
            if (const std::optional<CrcJobResult> crc = CrcFromCheck(set, checked.check))
                return *crc;
        } catch (const FileException&) {
            // read as before, which tells the failure
        }
    }
    ProgressLine meter(console, "Verify");
    return CrcOfJoinedData(set, meter.Callback());
}
