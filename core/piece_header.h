// The piece header: CRC text, '#', original name, ';' at the start of the
// first piece's data. No allocation, so that catstub shares it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Readers look at this many bytes from the start of the data area: enough for
// an 8-digit CRC and any name Windows allows, with room to spare.
constexpr size_t kHeaderWindow = 4096;

enum class HeaderStatus {
    Ok,         // crc, name and dataOffset are set
    NoName,     // no header: the CRC field is not 1 to 8 of "0-9A-F", or no '#', no name, no ';' in the bytes read
    UnsafeName, // the name is not a plain file name (a path, a device, a forbidden character)
};

struct PieceHeader {
    const char* crc = nullptr; // CRC field: the bytes before the first '#'
    size_t crcLen = 0;
    const char* name = nullptr; // original name: after that '#' up to the next ';'
    size_t nameLen = 0;
    size_t dataOffset = 0; // index of the first data byte, relative to the window
};

// Parses the bytes actually read (len <= kHeaderWindow). The CRC field is filled
// whatever the status, so a reader can report what it found.
HeaderStatus ReadPieceHeader(const uint8_t* window, size_t len, PieceHeader* out);

// True when name can be created as a file in the current directory and means
// nothing else there: not empty, no folder part, drive, device or forbidden character.
bool IsPlainFileName(const char* name, size_t len);

// Where the name recorded for a large file begins: after the last separator or drive ':'.
size_t RecordedNameStart(const char* path, size_t len);

// The name the header records for a large file: its last component, with any ';'
// replaced by '_' (a ';' would end the name early). The split refuses to record
// one that IsPlainFileName rejects.
std::string RecordedName(const std::string& largeFileName);

// The header the split writes for a large file: "%X" text, '#', RecordedName, ';'.
std::string BuildPieceHeader(const std::string& crcText, const std::string& largeFileName);

// The header as long as it can be for this file: with the CRC text given, or, while the CRC is not yet
// known, with the 8 digits that 15 files in 16 have. Piece counts planned with it never come out low.
std::string LongestPieceHeader(const std::string& crcText, const std::string& largeFileName);

// "%X" text of a CRC value, as the header records it.
std::string CrcText(uint32_t crc);
// How long that text is: "0" to "FFFFFFFF".
constexpr size_t kShortestCrcText = 1;
constexpr size_t kLongestCrcText = 8;
// Allocation-free form: writes up to 8 digits and a zero into out (9 bytes); returns the digit count.
size_t FormatCrcText(uint32_t crc, char out[9]);
