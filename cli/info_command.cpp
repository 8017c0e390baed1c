// fendrik info: what the first piece records and what the folder holds, as text or one JSON object.
#include <cstdio>
#include <ostream>

#include "cli/command_support.h"
#include "cli/set_report.h"
#include "core/name_encoding.h"
#include "core/piece_name.h"

namespace {

void AppendJsonByte(std::string& json, char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
        json += '\\';
        json += c;
    } else if (u < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
        json += escaped;
    } else {
        json += c;
    }
}

// A JSON string: quotes, backslashes and control characters escaped, UTF-8 as it is, and every byte
// that is not part of well-formed UTF-8 written as U+FFFD, so that the output is valid JSON for any name.
std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t valid = Utf8PrefixLength(text.data() + i, text.size() - i);
        if (valid == 0) {
            json += "\\ufffd";
            ++i;
            continue;
        }
        for (const size_t end = i + valid; i < end; ++i)
            AppendJsonByte(json, text[i]);
    }
    return json + "\"";
}

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

void PrintJson(std::ostream& out, const SetSurvey& set, bool haveFirst) {
    const bool recorded = set.header != SetHeader::None;
    out << "{\"first_piece\": " << (haveFirst ? JsonString(ShownPath(set.pieces[0].path)) : "null")
        << ", \"self_catenating\": " << (set.selfCatenating ? "true" : "false")
        << ", \"header\": " << (recorded ? "true" : "false")
        << ", \"original_name\": " << (recorded ? JsonString(set.recordedName) : "null")
        << ", \"crc32\": " << (recorded ? JsonString(set.recordedCrc) : "null") << ", \"pieces\": " << set.pieces.size()
        << ", \"missing\": [";
    for (size_t i = 0; i < set.missing.size(); ++i)
        out << (i ? ", " : "") << JsonString(PieceName(set.missing[i]));
    out << "], \"total_size\": " << set.piecesSize << ", \"rejoined_size\": " << set.JoinedSize() << "}\n";
}

void PrintText(std::ostream& out, const SetSurvey& set, bool haveFirst) {
    const bool recorded = set.header != SetHeader::None;
    out << "first piece:     " << (haveFirst ? ShownPath(set.pieces[0].path) : std::string("missing")) << "\n"
        << "self-catenating: " << (set.selfCatenating ? "yes" : "no") << "\n"
        << "header:          " << HeaderWord(set.header) << "\n";
    if (recorded)
        out << "original name:   " << set.recordedName << "\n"
            << "CRC-32:          " << set.recordedCrc << "\n";
    out << "pieces:          " << set.pieces.size() << "\n"
        << "missing:         " << (set.missing.empty() ? std::string("none") : MissingPieceNames(set)) << "\n"
        << "total size:      " << set.piecesSize << " bytes\n"
        << "rejoined size:   " << set.JoinedSize() << " bytes\n";
}

} // namespace

int RunInfo(const CliOptions& options, Console& console, Messenger& messenger) {
    const std::optional<SetSurvey> set = SurveySet(EnginePath(options.path), messenger);
    if (!set)
        return kExitFailure;
    const bool haveFirst = set->missing.empty() || set->missing.front() != 0;
    if (options.json)
        PrintJson(console.Streams().out, *set, haveFirst);
    else
        PrintText(console.Streams().out, *set, haveFirst);
    return set->Complete() ? kExitOk : kExitInconsistent;
}
