// The piece-header reader on any bytes: it never reads past what it is given, and a header it
// accepts is one every writer could have made, with a name that is safe to create.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/name_bytes.h"
#include "core/piece_header.h"

namespace {

void Require(bool rule) {
    if (!rule)
        std::abort();
}

bool Within(const char* p, size_t n, const uint8_t* start, size_t len) {
    const char* begin = reinterpret_cast<const char*>(start);
    return p >= begin && p + n <= begin + len;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-sized copy, so that AddressSanitizer sees any read past the bytes given.
    const size_t len = size < kHeaderWindow ? size : kHeaderWindow;
    std::unique_ptr<uint8_t[]> window(new uint8_t[len ? len : 1]);
    if (len)
        std::memcpy(window.get(), data, len);

    PieceHeader header;
    const HeaderStatus status = ReadPieceHeader(window.get(), len, &header);
    Require(header.crc == nullptr || Within(header.crc, header.crcLen, window.get(), len));
    if (status != HeaderStatus::Ok)
        return 0;

    // The CRC field: 1 to 8 of "0-9A-F", followed by the separator.
    Require(header.crcLen >= 1 && header.crcLen <= 8);
    for (size_t i = 0; i < header.crcLen; ++i) {
        const char c = header.crc[i];
        Require((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    }
    Require(header.crc[header.crcLen] == '#' && header.name == header.crc + header.crcLen + 1);

    // The name: within the bytes, ended by the first ';', and a plain file name by an independent look.
    Require(header.nameLen >= 1 && Within(header.name, header.nameLen + 1, window.get(), len));
    // Windows' limit is 255 UTF-16 units: more bytes than that only in UTF-8, counted here by lead bytes.
    if (header.nameLen > 255) {
        Require(IsUtf8(header.name, header.nameLen));
        size_t units = 0;
        for (size_t i = 0; i < header.nameLen; ++i) {
            const unsigned char c = static_cast<unsigned char>(header.name[i]);
            units += (c & 0xC0) == 0x80 ? 0 : c >= 0xF0 ? 2 : 1;
        }
        Require(units <= 255);
    }
    Require(header.name[header.nameLen] == ';');
    for (size_t i = 0; i < header.nameLen; ++i) {
        const unsigned char c = static_cast<unsigned char>(header.name[i]);
        Require(c >= 0x20 && c != 0x7F && c != ';' && std::strchr("\\/:*?\"<>|", c) == nullptr);
    }
    const char last = header.name[header.nameLen - 1];
    Require(last != '.' && last != ' ');

    // The data begins right after the ';', inside or at the end of the bytes given.
    const size_t nameAt = static_cast<size_t>(header.name - reinterpret_cast<const char*>(window.get()));
    Require(header.dataOffset == nameAt + header.nameLen + 1 && header.dataOffset <= len);
    return 0;
}
