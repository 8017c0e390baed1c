// The recorded name, converted for the file functions.
#include "core/recorded_name.h"

#include "core/name_bytes.h"
#include "platform/name_conversion.h"

HeaderStatus ReadPieceHeaderForFiles(const uint8_t* window, size_t len, PieceHeader* out,
                                     RecordedNameBuffers* buffers) {
    const HeaderStatus status = ReadPieceHeader(window, len, out);
    if (status == HeaderStatus::NoName || IsAscii(out->name, out->nameLen))
        return status;
    const size_t dataOffset = static_cast<size_t>(out->name - reinterpret_cast<const char*>(window)) + out->nameLen + 1;

    const char* utf8 = out->name;
    size_t utf8Len = out->nameLen;
    if (!IsUtf8(utf8, utf8Len)) {
        utf8Len = AnsiToUtf8(out->name, out->nameLen, buffers->utf8, sizeof buffers->utf8);
        if (utf8Len == 0)
            return HeaderStatus::UnsafeName;
        utf8 = buffers->utf8;
    }
    out->name = utf8;
    out->nameLen = utf8Len;
    if (!IsPlainFileName(utf8, utf8Len))
        return HeaderStatus::UnsafeName;
    const size_t fileNameLen = Utf8ToFileName(utf8, utf8Len, buffers->forFiles, sizeof buffers->forFiles);
    if (fileNameLen == 0)
        return HeaderStatus::UnsafeName;
    out->name = buffers->forFiles;
    out->nameLen = fileNameLen;
    out->dataOffset = dataOffset;
    return HeaderStatus::Ok;
}
