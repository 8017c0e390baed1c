// Building the piece header the split writes.
#include "core/piece_header.h"
#include "platform/file.h"

std::string CrcText(uint32_t crc) {
    char text[9];
    const size_t n = FormatCrcText(crc, text);
    return std::string(text, n);
}

std::string BuildPieceHeader(const std::string& crcText, const std::string& largeFileName) {
    std::string name = NamePart(largeFileName);
    for (char& c : name)
        if (c == ';')
            c = '_';
    return crcText + '#' + name + ';';
}
