// fendrik info: what the first piece records and what the folder holds, as text or one JSON object.
#include <algorithm>
#include <ostream>

#include "cli/command_support.h"
#include "cli/json_text.h"
#include "cli/set_report.h"
#include "core/name_bytes.h"
#include "core/piece_name.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "recovery/recovery_set.h"

namespace {

const char* HeaderWord(SetHeader header) {
    switch (header) {
    case SetHeader::Recorded:
        return "recorded";
    case SetHeader::Unusable:
        return "unusable name";
    case SetHeader::None:
        break;
    }
    return "none (split without CRC)";
}

// Whole pieces the recovery slices can restore: the count of the largest pieces they cover.
uint32_t RestorablePieces(const par2::RecoverySet& set) {
    size_t largest = 1;
    for (const par2::SetFile& f : set.files)
        largest = std::max(largest, f.slices.size());
    return static_cast<uint32_t>(set.recovery.size() / largest);
}

std::string RecoveryJson(const par2::ReadResult& index) {
    if (index.outcome != par2::ReadOutcome::Found)
        return "null";
    const par2::RecoverySet& set = index.set;
    std::string json = "{\"files\": [";
    for (size_t i = 0; i < set.indexFiles.size(); ++i)
        json += (i ? ", " : "") + JsonString(NamePart(set.indexFiles[i]));
    return json + "], \"slice_size\": " + std::to_string(set.sliceSize) +
           ", \"input_slices\": " + std::to_string(set.InputSlices()) +
           ", \"recovery_slices\": " + std::to_string(set.recovery.size()) +
           ", \"restorable_pieces\": " + std::to_string(RestorablePieces(set)) +
           ", \"damaged_packets\": " + std::to_string(set.damagedPackets) + "}";
}

void PrintRecovery(std::ostream& out, const par2::ReadResult& index) {
    if (index.outcome == par2::ReadOutcome::NoIndex) {
        out << "recovery files:  none\n";
        return;
    }
    const par2::RecoverySet& set = index.set;
    std::string names;
    for (const std::string& path : set.indexFiles)
        names += (names.empty() ? "" : ", ") + NamePart(path);
    out << "recovery files:  " << set.indexFiles.size() << " (" << names << ")\n";
    if (index.outcome == par2::ReadOutcome::NoMatch) {
        out << "recovery:        unusable: they describe other files than these pieces\n";
        return;
    }
    if (index.outcome == par2::ReadOutcome::TwoSets) {
        std::string others;
        for (const std::string& path : index.otherIndexFiles)
            others += (others.empty() ? "" : ", ") + NamePart(path);
        out << "recovery:        unusable: another set (" << others << ") describes other pieces here\n";
        return;
    }
    if (index.outcome != par2::ReadOutcome::Found) {
        out << "recovery:        unusable: the set's description is not among them intact\n";
        return;
    }
    out << "recovery slices: " << set.recovery.size() << " of " << set.sliceSize << " bytes, for " << set.InputSlices()
        << " slices in " << set.files.size() << " pieces\n"
        << "can restore:     " << set.recovery.size() << " damaged or missing slices (" << RestorablePieces(set)
        << " whole pieces)\n";
    if (set.damagedPackets)
        out << "damaged packets: " << set.damagedPackets << " (skipped)\n";
}

void PrintJson(std::ostream& out, const SetSurvey& set, bool haveFirst, const par2::ReadResult& index) {
    const bool recorded = set.header != SetHeader::None;
    out << "{\"first_piece\": " << (haveFirst ? JsonString(NativePath(set.pieces[0].path)) : "null")
        << ", \"self_catenating\": " << (set.selfCatenating ? "true" : "false")
        << ", \"header\": " << (recorded ? "true" : "false")
        << ", \"original_name\": " << (recorded ? JsonString(set.recordedName) : "null")
        << ", \"crc32\": " << (recorded ? JsonString(set.recordedCrc) : "null") << ", \"pieces\": " << set.pieces.size()
        << ", \"missing\": [";
    for (size_t i = 0; i < set.missing.size(); ++i)
        out << (i ? ", " : "") << JsonString(PieceName(set.missing[i]));
    out << "], \"total_size\": " << set.piecesSize << ", \"rejoined_size\": " << set.JoinedSize()
        << ", \"recovery\": " << RecoveryJson(index) << "}\n";
}

void PrintText(std::ostream& out, const SetSurvey& set, bool haveFirst, const par2::ReadResult& index) {
    const bool recorded = set.header != SetHeader::None;
    out << "first piece:     " << (haveFirst ? NativePath(set.pieces[0].path) : std::string("missing")) << "\n"
        << "self-catenating: " << (set.selfCatenating ? "yes" : "no") << "\n"
        << "header:          " << HeaderWord(set.header) << "\n";
    if (recorded)
        out << "original name:   " << set.recordedName << "\n"
            << "CRC-32:          " << set.recordedCrc << "\n";
    out << "pieces:          " << set.pieces.size() << "\n"
        << "missing:         " << (set.missing.empty() ? std::string("none") : MissingPieceNames(set)) << "\n"
        << "total size:      " << set.piecesSize << " bytes\n"
        << "rejoined size:   " << set.JoinedSize() << " bytes\n";
    PrintRecovery(out, index);
}

} // namespace

int RunInfo(const CliOptions& options, Console& console, Messenger& messenger) {
    const std::optional<SetSurvey> set = SurveySet(EnginePath(options.path), messenger);
    if (!set)
        return kExitFailure;
    const bool haveFirst = set->missing.empty() || set->missing.front() != 0;
    par2::ReadResult index;
    try {
        index = par2::ReadRecoverySet(FolderPart(EnginePath(options.path)));
    } catch (const FileException& error) {
        messenger.Show("Can't read the recovery files\n" + error.Description(), Icon::Hand);
        return kExitFailure;
    }
    // Whether PIECE names a whole set, for a script: the exit status says it.
    if (options.quiet && set->Complete())
        return kExitOk;
    if (options.json)
        PrintJson(console.Streams().out, *set, haveFirst, index);
    else
        PrintText(console.Streams().out, *set, haveFirst, index);
    return set->Complete() ? kExitOk : kExitInconsistent;
}
