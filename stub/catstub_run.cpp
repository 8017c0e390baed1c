// One run of catstub, from the confirmation to the CRC-32 check.
#include "stub/catstub_run.h"

#include <windows.h>

#include "core/crc32.h"
#include "core/name_encoding.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/recorded_name.h"
#include "core/stub_image.h"
#include "platform/read_handle.h"
#include "stub/copy_data.h"
#include "stub/output_file.h"
#include "stub/piece_search.h"
#include "stub/stub_messages.h"
#include "stub/stub_paths.h"

namespace {

// In static storage: catstub has no allocator, and these are too big for a
// comfortable stack. Large blocks keep a multi-gigabyte join disk-bound.
uint8_t g_window[kHeaderWindow];
uint8_t g_block[64 * 1024];
PieceSet g_pieces;
char g_self[kStubPathSize];   // catstub's own file: the first piece, whatever its name
char g_folder[kStubPathSize]; // its folder, where the other pieces and the output lie
char g_piecePath[kStubPathSize];
char g_outputPath[kStubPathSize];
char g_partialPath[kStubPathSize];

// The most of a refused name a message shows, and the longest temporary name made.
constexpr size_t kMaxName = 255;

// The temporary name of the output while it is written; deleted on every failure.
char g_partial[kRecordedNameCapacity];

// "\nThe unfinished file <name> was deleted.": OutputFile deletes it when the run returns.
StubText& AppendUnfinished(StubText& text) {
    return text.Append(stub_text::kUnfinished).Append(g_partial).Append(stub_text::kWasDeleted);
}
RecordedNameBuffers g_name;

void ReportReadFailure(const char* piece, unsigned long error, bool outputStarted) {
    StubText text;
    text.Append(stub_text::kCantRead).Append(piece);
    if (outputStarted)
        AppendUnfinished(text);
    text.Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

void ReportWriteFailure(const char* output, unsigned long error) {
    StubText text;
    text.Append(stub_text::kCantWrite).Append(output);
    AppendUnfinished(text).Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

// False after reporting.
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

void ReportCantOpen(const char* piece, unsigned long error, bool outputStarted) {
    StubText text;
    text.Append(stub_text::kCantOpenSplitFile).Append(":\n").Append(piece);
    if (outputStarted)
        AppendUnfinished(text);
    text.Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

// False after reporting; nothing has been written then.
bool SearchedPieces() {
    const SearchResult search = FindPieces(g_folder, &g_pieces);
    StubText text;
    switch (search.outcome) {
    case SearchOutcome::Ok: {
        // A set with a gap would give a wrong file under the original's name.
        const int missing = FirstMissingPiece(g_pieces);
        if (missing < 0)
            return true;
        char name[11];
        FormatPieceName(missing, name);
        text.Append(name).Append(stub_text::kIsMissing).Append("\n").Append(stub_text::kNothingWritten);
        break;
    }
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

// The CRC was taken of the bytes as they were written: the output is not read again.
void CheckCrc(const Crc32& crc, const PieceHeader& header) {
    // Compared as text, as the header records it: "%X" digits without leading zeros.
    char digits[9];
    const size_t len = FormatCrcText(crc.Value(), digits);
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
    // catstub's own file is the first piece, whatever it is called now and wherever it was started from.
    if (!FindOwnFile(g_self, g_folder)) {
        ShowFatal(stub_text::kCantOpenSplitFile);
        return;
    }
    ReadHandle first(g_self);
    if (!first.IsOpen()) {
        ReportCantOpen(g_self, first.LastError(), false);
        return;
    }
    // The header stands right behind the stub image; reading past the image
    // is as good as a seek and needs no more of the file layer.
    uint32_t skipped = 0;
    uint32_t got = 0;
    if (!ReadUpTo(first, g_block, kStubImageSize, &skipped) || !ReadUpTo(first, g_window, kHeaderWindow, &got)) {
        ReportReadFailure(g_self, first.LastError(), false);
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

    // name + ".partial"; a name too long for that gives up its end to the suffix.
    const size_t suffix = sizeof stub_text::kPartialSuffix - 1;
    const size_t kept = KeptBeforeSuffix(output, header.nameLen, suffix);
    for (size_t i = 0; i < kept; ++i)
        g_partial[i] = output[i];
    for (size_t i = 0; i <= suffix; ++i)
        g_partial[kept + i] = stub_text::kPartialSuffix[i];

    // An existing output is never replaced; the join goes to the temporary name first.
    StubText refused;
    refused.Append(stub_text::kCantOpenFile).Append(output).Append(stub_text::kDeleteAndStartAgain);
    if (!JoinPath(g_outputPath, g_folder, output) || !JoinPath(g_partialPath, g_folder, g_partial) ||
        ::GetFileAttributesA(g_outputPath) != INVALID_FILE_ATTRIBUTES) {
        ShowFatal(refused.CStr());
        return;
    }
    OutputFile out(g_partialPath);
    if (!out.IsOpen()) {
        ShowFatal(refused.CStr());
        return;
    }
    Crc32 crc;
    const uint32_t inWindow = static_cast<uint32_t>(got - header.dataOffset);
    crc.Update(g_window + header.dataOffset, inWindow, true);
    if (!out.Write(g_window + header.dataOffset, inWindow)) {
        ReportWriteFailure(output, out.LastError());
        return;
    }
    if (!Copied(CopyRest(first, out, g_block, sizeof g_block, crc), g_self, output))
        return;

    // Ascending piece order, whatever order the directory search used.
    for (int n = 1; n < kMaxPieces; ++n) {
        const char* name = g_pieces.names[n];
        if (name[0] == 0)
            continue;
        JoinPath(g_piecePath, g_folder, name);
        ReadHandle piece(g_piecePath);
        if (!piece.IsOpen()) {
            ReportCantOpen(name, piece.LastError(), true);
            return;
        }
        if (!Copied(CopyRest(piece, out, g_block, sizeof g_block, crc), name, output))
            return;
    }
    // Every byte is in: the file takes its name, also when the check fails, as the user is told.
    if (!out.Finish(g_outputPath)) {
        ReportWriteFailure(output, out.LastError());
        return;
    }
    CheckCrc(crc, header);
}
