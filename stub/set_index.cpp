// Loading the recovery index for catstub, and the checks that make it this set's own.
#include "stub/set_index.h"

#include "core/small_md5.h"
#include "platform/read_handle.h"
#include "stub/copy_data.h"
#include "stub/recovery_slices.h"
#include "stub/stub_paths.h"

namespace {

// Most of a megabyte: in static storage, as catstub has no allocator.
RecoveryIndexReader g_reader;
RecoveryFiles g_files;
char g_path[kStubPathSize];
// Blocks of the index, and the first 16 KiB of a further piece.
uint8_t g_scratch[16384];

// Whether the first bytes of a piece (the whole piece when shorter than 16 KiB) have the MD5 the index records.
bool HeadMatches(const IndexedPiece& piece, const uint8_t* head, uint32_t available) {
    const uint64_t len = piece.length < 16384 ? piece.length : 16384;
    if (available < len)
        return false;
    uint8_t digest[16];
    SmallMd5 md5;
    md5.Update(head, static_cast<size_t>(len));
    md5.Final(digest);
    for (int i = 0; i < 16; ++i)
        if (digest[i] != piece.headHash[i])
            return false;
    return true;
}

bool ReadIndex(const char* path) {
    g_reader.Reset();
    ReadHandle file(path);
    if (!file.IsOpen())
        return false;
    for (;;) {
        uint32_t got = 0;
        if (!file.Read(g_scratch, sizeof g_scratch, &got))
            return false;
        if (got == 0)
            return g_reader.Finish();
        g_reader.Feed(g_scratch, got);
    }
}

// Whether the index read describes this set.
bool IsThisSet(const char* folder, const PieceSet& pieces, const uint8_t* head, uint32_t headLen) {
    const RecoveryIndex& index = g_reader.Index();
    if (!HeadMatches(index.piece[0], head, headLen))
        return false;
    bool further = false; // a further piece was found
    for (int n = 1; n < kMaxPieces; ++n) {
        if (pieces.names[n][0] == 0)
            continue;
        if (n >= index.pieces)
            return false;
        further = true;
    }
    if (!further)
        return true;
    // A damaged piece may fail this; one that agrees is enough.
    for (int n = 1; n < index.pieces; ++n) {
        if (pieces.names[n][0] == 0 || !JoinPath(g_path, folder, pieces.names[n]))
            continue;
        ReadHandle piece(g_path);
        uint32_t got = 0;
        if (piece.IsOpen() && ReadUpTo(piece, g_scratch, sizeof g_scratch, &got) &&
            HeadMatches(index.piece[n], g_scratch, got))
            return true;
    }
    return false;
}

} // namespace

const RecoveryIndex* LoadSetIndex(const char* folder, const PieceSet& pieces, const uint8_t* head, uint32_t headLen) {
    // "_Split#.par2" first; its volumes carry the same packets when it is lost or damaged.
    FindRecoveryFiles(folder, &g_files);
    for (int f = 0; f < g_files.count; ++f)
        if (ReadIndex(g_files.paths[f]) && IsThisSet(folder, pieces, head, headLen))
            return &g_reader.Index();
    return nullptr;
}
