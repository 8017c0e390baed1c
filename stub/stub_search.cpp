// The directory search for "_Split#*" on Win32, kept to the names of real pieces.
#include <windows.h>

#include "platform/owned_handles.h"
#include "stub/stub_paths.h"
#include "stub/stub_search.h"

namespace {

// A search with the OS error of its failed first or next step.
class FindHandle {
public:
    FindHandle(const char* pattern, WIN32_FIND_DATAA* data) : handle_(::FindFirstFileA(pattern, data)) {
        if (!handle_.IsValid())
            error_ = ::GetLastError();
    }

    bool IsOpen() const { return handle_.IsValid(); }
    bool Next(WIN32_FIND_DATAA* data) {
        if (::FindNextFileA(handle_.Get(), data))
            return true;
        error_ = ::GetLastError();
        return false;
    }
    unsigned long LastError() const { return error_; }

private:
    SearchHandle handle_;
    unsigned long error_ = 0;
};

size_t NameLength(const char* name) {
    size_t len = 0;
    while (name[len])
        ++len;
    return len;
}

// Piece names are 10 characters and a zero.
void CopyName(const char* from, char* to) {
    for (int i = 0; i < 11; ++i)
        to[i] = from[i];
}

} // namespace

SearchResult FindPieces(const char* folder, PieceSet* pieces) {
    SearchResult result;
    WIN32_FIND_DATAA data;
    char pattern[kStubPathSize];
    if (!JoinPath(pattern, folder, kPiecePattern)) {
        result.outcome = SearchOutcome::Failed;
        result.error = ERROR_FILENAME_EXCED_RANGE;
        return result;
    }
    FindHandle search(pattern, &data);
    if (!search.IsOpen()) {
        // Nothing matches: the set is the first piece alone.
        if (search.LastError() == ERROR_FILE_NOT_FOUND)
            return result;
        result.outcome = SearchOutcome::Failed;
        result.error = search.LastError();
        return result;
    }
    do {
        const int number = PieceNumberOf(data.cFileName, NameLength(data.cFileName));
        if (number <= 0)
            continue;
        if (pieces->tally.Add(number, number) >= 0) {
            result.outcome = SearchOutcome::FoundTwice;
            CopyName(pieces->names[number], result.first);
            CopyName(data.cFileName, result.second);
            return result;
        }
        CopyName(data.cFileName, pieces->names[number]);
    } while (search.Next(&data));
    if (search.LastError() != ERROR_NO_MORE_FILES) {
        result.outcome = SearchOutcome::Failed;
        result.error = search.LastError();
    }
    return result;
}

int FirstMissingPiece(const PieceSet& pieces) {
    return pieces.tally.NextMissing(1);
}
