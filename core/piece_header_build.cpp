// Building the piece header the split writes.
#include "core/piece_header.h"

std::string CrcText(uint32_t crc) {
    char text[9];
    const size_t n = FormatCrcText(crc, text);
    return std::string(text, n);
}

std::string RecordedName(const std::string& largeFileName) {
    std::string name = largeFileName.substr(RecordedNameStart(largeFileName.data(), largeFileName.size()));
    for (char& c : name)
        if (c == ';')
            c = '_';
    return name;
}

std::string BuildPieceHeader(const std::string& crcText, const std::string& largeFileName) {
    return crcText + '#' + RecordedName(largeFileName) + ';';
}

std::string LongestPieceHeader(const std::string& crcText, const std::string& largeFileName) {
    return BuildPieceHeader(crcText.empty() ? std::string(kLongestCrcText, '0') : crcText, largeFileName);
}
