// One run of catstub, from the confirmation to the CRC-32 check.
#include "stub/catstub_run.h"

#include <windows.h>

#include "core/crc32.h"
#include "core/name_bytes.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/recorded_name.h"
#include "core/slice_check.h"
#include "core/stub_image.h"
#include "platform/read_handle.h"
#include "stub/copy_data.h"
#include "stub/heal.h"
#include "stub/output_file.h"
#include "stub/set_index.h"
#include "stub/stub_messages.h"
#include "stub/stub_paths.h"
#include "stub/stub_search.h"

namespace {

// In static storage: catstub has no allocator, and these are too big for a
// comfortable stack. Large blocks keep a multi-gigabyte join disk-bound.
uint8_t g_window[kHeaderWindow];
uint8_t g_block[64 * 1024];
// The pieces found, and found again after a rebuild: a search fills a set that starts empty.
PieceSet g_found[2];
const PieceSet* g_set = &g_found[0]; // the search the join uses
char g_self[kStubPathSize];          // catstub's own file: the first piece, whatever its name
char g_folder[kStubPathSize];        // its folder, where the other pieces and the output lie
char g_piecePath[kStubPathSize];
char g_outputPath[kStubPathSize];
char g_partialPath[kStubPathSize];
RecordedNameBuffers g_name;

// The first piece as read before the join: the catstub image in g_block, then the header window.
PieceHeader g_header;
uint32_t g_imageRead = 0;
uint32_t g_windowRead = 0;
char g_output[kRecordedNameCapacity]; // the recorded name

// The recovery index of the set when there is one to believe, and what it says of each piece.
const RecoveryIndex* g_index = nullptr;
SliceVerdict g_state[kMaxPieces];

// The most of a refused name a message shows, the longest temporary name made, and the most
// pieces a message lists by name.
constexpr size_t kMaxName = 255;
constexpr int kMaxListed = 40;

// The temporary name of the output while it is written; deleted on every failure.
char g_partial[kRecordedNameCapacity];

// "\nThe unfinished file <name> was deleted.": OutputFile deletes it when the run returns.
StubText& AppendUnfinished(StubText& text) {
    return text.Append(join_text::kUnfinished).Append(g_partial).Append(join_text::kWasDeleted);
}

void ReportReadFailure(const char* piece, unsigned long error, bool outputStarted) {
    StubText text;
    text.Append(join_text::kCantRead).Append(piece);
    if (outputStarted)
        AppendUnfinished(text);
    text.Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

void ReportWriteFailure(const char* output, unsigned long error) {
    StubText text;
    text.Append(join_text::kCantWrite).Append(output);
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
    text.Append(join_text::kNoUsableName);
    if (status == HeaderStatus::UnsafeName)
        text.Append(":\n").AppendShown(header.name, header.nameLen < kMaxName ? header.nameLen : kMaxName);
    else
        text.Append(".");
    text.Append("\n").Append(join_text::kNothingWritten);
    ShowFatal(text.CStr());
}

void ReportCantOpen(const char* piece, unsigned long error, bool outputStarted) {
    StubText text;
    text.Append(join_text::kCantOpenSplitFile).Append(":\n").Append(piece);
    if (outputStarted)
        AppendUnfinished(text);
    text.Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

// Piece n's name as the folder holds it; catstub's own file for piece 0.
const char* ShownName(int n) {
    if (n > 0)
        return g_set->names[n];
    const char* name = g_self;
    for (const char* p = g_self; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    return name;
}

// One line per piece whose state is wanted (at most kMaxListed, then how many more).
void AppendPieceList(StubText& text, bool missing) {
    int listed = 0;
    int more = 0;
    for (int n = 0; n < g_index->pieces; ++n) {
        const bool wanted = missing ? n > 0 && g_set->names[n][0] == 0 : g_state[n] != SliceVerdict::Intact;
        if (!wanted)
            continue;
        if (listed == kMaxListed) {
            ++more;
            continue;
        }
        ++listed;
        if (missing) {
            char name[11];
            FormatPieceName(n, name);
            text.Append("\n").Append(name);
        } else {
            text.Append("\n").Append(ShownName(n));
            if (g_state[n] == SliceVerdict::WrongSize)
                text.Append(join_text::kWrongSize);
        }
    }
    if (more > 0)
        text.Append("\n")
            .Append(join_text::kAnd)
            .AppendNumber(static_cast<unsigned long>(more))
            .Append(join_text::kMore);
}

// Step 1: the catstub image and the header behind it, read from catstub's own file. False after reporting.
bool ReadFirstPiece(ReadHandle& first) {
    if (!first.IsOpen()) {
        ReportCantOpen(g_self, first.LastError(), false);
        return false;
    }
    // The header stands right behind the stub image; reading past the image
    // is as good as a seek and needs no more of the file layer.
    if (!ReadUpTo(first, g_block, kStubImageSize, &g_imageRead) ||
        !ReadUpTo(first, g_window, kHeaderWindow, &g_windowRead)) {
        ReportReadFailure(g_self, first.LastError(), false);
        return false;
    }
    // Only the bytes read are parsed: a short first piece leaves no stale bytes to misread.
    const HeaderStatus status = ReadPieceHeaderForFiles(g_window, g_windowRead, &g_header, &g_name);
    if (status != HeaderStatus::Ok) {
        ReportNoUsableName(status, g_header);
        return false;
    }
    for (size_t i = 0; i < g_header.nameLen; ++i)
        g_output[i] = g_header.name[i];
    g_output[g_header.nameLen] = 0;
    return true;
}

// Step 2: the further pieces, whole, and the recovery index when it is this set's; lost and damaged
// pieces rebuilt from the recovery files when the user wants it. False after reporting; nothing has been
// written then but rebuilt pieces. Searched before the output exists, so an output named like a piece is
// never joined into itself.
bool SearchedPieces(PieceSet* pieces, bool mayRebuild) {
    const SearchResult search = FindPieces(g_folder, pieces);
    StubText text;
    switch (search.outcome) {
    case SearchOutcome::Ok: {
        g_set = pieces;
        g_index = LoadSetIndex(g_folder, *pieces, g_block, g_imageRead);
        if (g_index && mayRebuild) {
            const HealOutcome heal = HealSet(g_self, g_folder, *pieces, *g_index);
            if (heal == HealOutcome::Rebuilt)
                return SearchedPieces(&g_found[1], false);
            if (heal != HealOutcome::Whole)
                return false;
        }
        bool whole = true;
        for (int n = 1; g_index && n < g_index->pieces; ++n)
            whole = whole && pieces->names[n][0] != 0;
        if (!whole) {
            text.Append(join_text::kMissingPieces);
            AppendPieceList(text, true);
            text.Append("\n").Append(join_text::kNothingWritten).Append("\n\n").Append(join_text::kRebuildHint);
            break;
        }
        // A set with a gap would give a wrong file under the original's name.
        const int missing = FirstMissingPiece(*pieces);
        if (missing < 0)
            return true;
        char name[11];
        FormatPieceName(missing, name);
        text.Append(name).Append(join_text::kIsMissing).Append("\n").Append(join_text::kNothingWritten);
        break;
    }
    case SearchOutcome::Failed:
        text.Append(join_text::kCantSearch).Append("\n\n");
        AppendSystemText(text, search.error);
        break;
    case SearchOutcome::FoundTwice:
        text.Append(join_text::kFoundTwice).Append(search.first).Append("\n").Append(search.second);
        text.Append("\n").Append(join_text::kNothingWritten);
        break;
    }
    ShowFatal(text.CStr());
    return false;
}

void ReportCantCreate() {
    StubText text;
    text.Append(join_text::kCantOpenFile).Append(g_output).Append(join_text::kDeleteAndStartAgain);
    ShowFatal(text.CStr());
}

// Step 3: the output's name and its temporary name, neither taken yet. False after reporting.
bool OutputNamesFree() {
    // name + ".partial"; a name too long for that gives up its end to the suffix.
    const size_t suffix = sizeof kPartialSuffix - 1;
    const size_t kept = KeptBeforeSuffix(g_output, g_header.nameLen, suffix);
    for (size_t i = 0; i < kept; ++i)
        g_partial[i] = g_output[i];
    for (size_t i = 0; i <= suffix; ++i)
        g_partial[kept + i] = kPartialSuffix[i];
    // An existing output is never replaced; the join goes to the temporary name first.
    if (JoinPath(g_outputPath, g_folder, g_output) && JoinPath(g_partialPath, g_folder, g_partial) &&
        ::GetFileAttributesA(g_outputPath) == INVALID_FILE_ATTRIBUTES)
        return true;
    ReportCantCreate();
    return false;
}

// Step 4: every piece into out, in ascending order, each checked against the index when there is one.
// False after reporting.
bool Joined(ReadHandle& first, OutputFile& out, Crc32& crc) {
    SliceCheck firstCheck(g_index, 0);
    firstCheck.Feed(g_block, g_imageRead);
    firstCheck.Feed(g_window, g_windowRead);
    const uint32_t inWindow = static_cast<uint32_t>(g_windowRead - g_header.dataOffset);
    crc.Update(g_window + g_header.dataOffset, inWindow, true);
    if (!out.Write(g_window + g_header.dataOffset, inWindow)) {
        ReportWriteFailure(g_output, out.LastError());
        return false;
    }
    if (!Copied(CopyRest(first, out, g_block, sizeof g_block, crc, firstCheck), g_self, g_output))
        return false;
    g_state[0] = firstCheck.Finish();

    // Ascending piece order, whatever order the directory search used.
    for (int n = 1; n < kMaxPieces; ++n) {
        const char* name = g_set->names[n];
        if (name[0] == 0)
            continue;
        JoinPath(g_piecePath, g_folder, name);
        ReadHandle piece(g_piecePath);
        if (!piece.IsOpen()) {
            ReportCantOpen(name, piece.LastError(), true);
            return false;
        }
        SliceCheck check(g_index, n);
        if (!Copied(CopyRest(piece, out, g_block, sizeof g_block, crc, check), name, g_output))
            return false;
        g_state[n] = check.Finish();
    }
    return true;
}

// Step 5: the CRC was taken of the bytes as they were written: the output is not read again.
void CheckCrc(const Crc32& crc) {
    // Compared as text, as the header records it: "%X" digits without leading zeros.
    char digits[9];
    const size_t len = FormatCrcText(crc.Value(), digits);
    bool same = len == g_header.crcLen;
    for (size_t i = 0; same && i < len; ++i)
        same = digits[i] == g_header.crc[i];
    if (same) {
        ShowInfo(join_text::kCrcOk);
        return;
    }
    bool named = false;
    for (int n = 0; g_index && n < g_index->pieces; ++n)
        named = named || g_state[n] != SliceVerdict::Intact;
    if (!named) {
        ShowFatal(join_text::kCrcFailed);
        return;
    }
    StubText text;
    text.Append(join_text::kCrcFailed).Append("\n\n").Append(join_text::kDamagedPieces);
    AppendPieceList(text, false);
    text.Append("\n\n").Append(join_text::kRebuildHint);
    ShowFatal(text.CStr());
}

} // namespace

void RunCatstub() {
    if (!AskToCatenate())
        return;
    // catstub's own file is the first piece, whatever it is called now and wherever it was started from.
    if (!FindOwnFile(g_self, g_folder)) {
        ShowFatal(join_text::kCantOpenSplitFile);
        return;
    }
    ReadHandle first(g_self);
    if (!ReadFirstPiece(first) || !SearchedPieces(&g_found[0], true) || !OutputNamesFree())
        return;
    OutputFile out(g_partialPath);
    if (!out.IsOpen()) {
        ReportCantCreate();
        return;
    }
    Crc32 crc;
    if (!Joined(first, out, crc))
        return;
    // Every byte is in: the file takes its name, also when the check fails, as the user is told.
    if (!out.Finish(g_outputPath)) {
        ReportWriteFailure(g_output, out.LastError());
        return;
    }
    CheckCrc(crc);
}
