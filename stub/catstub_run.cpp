// One run of catstub, from the confirmation to the CRC-32 check.
#include "stub/catstub_run.h"

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/recorded_name.h"
#include "core/stub_image.h"
#include "platform/read_handle.h"
#include "stub/copy_data.h"
#include "stub/output_file.h"
#include "stub/piece_search.h"
#include "stub/stub_messages.h"

namespace {

// In static storage: catstub has no allocator, and these are too big for a
// comfortable stack. Large blocks keep a multi-gigabyte join disk-bound.
uint8_t g_window[kHeaderWindow];
uint8_t g_block[64 * 1024];
PieceSet g_pieces;
RecordedNameBuffers g_name;

// The most of a refused name a message shows.
constexpr size_t kMaxName = 255;

void ReportReadFailure(const char* piece, unsigned long error, bool outputStarted) {
    StubText text;
    text.Append(stub_text::kCantRead).Append(piece);
    if (outputStarted)
        text.Append(stub_text::kIncomplete);
    text.Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

void ReportWriteFailure(const char* output, unsigned long error) {
    StubText text;
    text.Append(stub_text::kCantWrite).Append(output).Append(stub_text::kIncomplete).Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

// False after reporting; the output is left as it is, never deleted.
bool Copied(const CopyResult& copy, const char* piece, const char* output) {
    if (copy.failure == CopyFailure::Read)
        ReportReadFailure(piece, copy.error, true);
    else if (copy.failure == CopyFailure::Write)
        ReportWriteFailure(output, copy.error);
    return copy.failure == CopyFailure::None;
}

void ReportNoUsableName(HeaderStatus status, const PieceHeader& header) {
    StubText text;
    text.Append(stub_text::kNoUsableName);
    if (status == HeaderStatus::UnsafeName)
        text.Append(":\n").AppendShown(header.name, header.nameLen < kMaxName ? header.nameLen : kMaxName);
    else
        text.Append(".");
    text.Append("\n").Append(stub_text::kNothingWritten);
    ShowFatal(text.CStr());
}

// False after reporting; nothing has been written then.
bool SearchedPieces() {
    const SearchResult search = FindPieces(&g_pieces);
    StubText text;
    switch (search.outcome) {
    case SearchOutcome::Ok:
        return true;
    case SearchOutcome::Failed:
        text.Append(stub_text::kCantSearch).Append("\n\n");
        AppendSystemText(text, search.error);
        break;
    case SearchOutcome::FoundTwice:
        text.Append(stub_text::kFoundTwice).Append(search.first).Append("\n").Append(search.second);
        text.Append("\n").Append(stub_text::kNothingWritten);
        break;
    }
    ShowFatal(text.CStr());
    return false;
}

void CheckCrc(const char* output, const PieceHeader& header) {
    Crc32 crc;
    const auto value = crc.FileCrc(output);
    if (!value) {
        ShowFatal(stub_text::kCantOpenForCrc);
        return;
    }
    // Compared as text, as the header records it: "%X" digits without leading zeros.
    char digits[9];
    const size_t len = FormatCrcText(*value, digits);
    bool same = len == header.crcLen;
    for (size_t i = 0; same && i < len; ++i)
        same = digits[i] == header.crc[i];
    if (same)
        ShowInfo(stub_text::kCrcOk);
    else
        ShowFatal(stub_text::kCrcFailed);
}

} // namespace

void RunCatstub() {
    if (!AskToCatenate())
        return;
    // The fixed name, whatever name catstub was started under.
    ReadHandle first(kSelfCatenatingName);
    if (!first.IsOpen()) {
        ShowFatal(stub_text::kCantOpenSplitFile);
        return;
    }
    // The header stands right behind the stub image; reading past the image
    // is as good as a seek and needs no more of the file layer.
    uint32_t skipped = 0;
    uint32_t got = 0;
    if (!ReadUpTo(first, g_block, kStubImageSize, &skipped) || !ReadUpTo(first, g_window, kHeaderWindow, &got)) {
        ReportReadFailure(kSelfCatenatingName, first.LastError(), false);
        return;
    }
    // Only the bytes read are parsed: a short first piece leaves no stale bytes to misread.
    PieceHeader header;
    const HeaderStatus status = ReadPieceHeaderForFiles(g_window, got, &header, &g_name);
    if (status != HeaderStatus::Ok) {
        ReportNoUsableName(status, header);
        return;
    }
    char output[kRecordedNameCapacity];
    for (size_t i = 0; i < header.nameLen; ++i)
        output[i] = header.name[i];
    output[header.nameLen] = 0;

    // Searched before the output exists, so an output named like a piece is never joined into itself.
    if (!SearchedPieces())
        return;

    OutputFile out(output);
    if (!out.IsOpen()) {
        StubText text;
        text.Append(stub_text::kCantOpenFile).Append(output).Append(stub_text::kDeleteAndStartAgain);
        ShowFatal(text.CStr());
        return;
    }
    if (!out.Write(g_window + header.dataOffset, static_cast<uint32_t>(got - header.dataOffset))) {
        ReportWriteFailure(output, out.LastError());
        return;
    }
    if (!Copied(CopyRest(first, out, g_block, sizeof g_block), kSelfCatenatingName, output))
        return;

    // Ascending piece order, whatever order the directory search used.
    for (int n = 1; n < kMaxPieces; ++n) {
        const char* name = g_pieces.names[n];
        if (name[0] == 0)
            continue;
        ReadHandle piece(name);
        if (!piece.IsOpen()) {
            ShowFatal(stub_text::kCantOpenSplitFile);
            return;
        }
        if (!Copied(CopyRest(piece, out, g_block, sizeof g_block), name, output))
            return;
    }
    if (!out.Close()) {
        ReportWriteFailure(output, out.LastError());
        return;
    }
    CheckCrc(output, header);
}
