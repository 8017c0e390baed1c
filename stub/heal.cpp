// A missing slice j is Σ_a c[j][a]·(R_a − Σ_present f(i,a)·D_i), with R_a the recovery slices the solver
// chose and f their factors: so each pass sums the chosen recovery slices and every present input slice
// into one buffer per missing slice, each with its own factor, reading every piece once per pass.
#include <windows.h>

#include "core/gf16_field.h"
#include "core/slice_check.h"
#include "core/slice_solve.h"
#include "core/small_md5.h"
#include "platform/owned_handles.h"
#include "platform/read_handle.h"
#include "stub/copy_data.h"
#include "stub/heal.h"
#include "stub/output_file.h"
#include "stub/recovery_slices.h"
#include "stub/stub_messages.h"

namespace {

// The most the rebuild takes: the matrix, one read buffer and as many missing slices as fit.
constexpr uint64_t kHealMemory = uint64_t{256} << 20;
constexpr int kMaxListed = 40;
constexpr char kRebuiltSuffix[] = ".rebuilt";
constexpr char kDamagedSuffix[] = ".damaged";

enum class Found : uint8_t { Intact, Missing, Damaged };

const RecoveryIndex* g_ix;
const PieceSet* g_set;
const char* g_selfPath;
const char* g_folderPath;
Found g_found[kMaxPieces];
bool g_bad[kIndexMaxSlices];         // by the index's slice numbers
uint32_t g_missing[kIndexMaxSlices]; // input numbers of the bad slices, in piece order
uint32_t g_badIn[kMaxPieces];        // bad slices of each piece
uint16_t g_factor[kIndexMaxSlices + kSolveSpares];
uint16_t g_sumFactor[kIndexMaxSlices]; // of one present slice in each buffer of a pass
constexpr uint32_t kBlock = 16 * 1024;
RecoveryFiles g_files;
FoundSlices g_slices;
char g_path[kStubPathSize];
char g_temp[kStubPathSize];
char g_final[kStubPathSize];
char g_kept[kStubPathSize];

// The memory of the rebuild, taken whole before the first byte is written.
class Memory {
public:
    explicit Memory(uint64_t bytes)
        : base_(bytes <= kHealMemory
                    ? ::VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                    : nullptr) {}
    ~Memory() {
        if (base_)
            ::VirtualFree(base_, 0, MEM_RELEASE);
    }
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;
    uint8_t* Get() const { return static_cast<uint8_t*>(base_); }

private:
    void* base_;
};

bool PiecePath(int n, char (&out)[kStubPathSize]) {
    if (n == 0) {
        size_t i = 0;
        for (; g_selfPath[i] && i + 1 < kStubPathSize; ++i)
            out[i] = g_selfPath[i];
        out[i] = 0;
        return true;
    }
    return JoinPath(out, g_folderPath, g_set->names[n]);
}

// Every piece read once, each slice's CRC-32 compared; returns how many slices are bad.
uint32_t CheckPieces(uint8_t* block, uint32_t blockSize) {
    uint32_t k = 0;
    for (int n = 0; n < g_ix->pieces; ++n) {
        const IndexedPiece& piece = g_ix->piece[n];
        bool* bad = g_bad + piece.firstSlice;
        g_found[n] = Found::Intact;
        if (n > 0 && g_set->names[n][0] == 0) {
            g_found[n] = Found::Missing;
            for (uint32_t s = 0; s < piece.slices; ++s)
                bad[s] = true;
        } else {
            PiecePath(n, g_path);
            ReadHandle file(g_path);
            SliceCheck check(g_ix, n, bad);
            uint32_t got = 0;
            while (file.IsOpen() && file.Read(block, blockSize, &got) && got > 0)
                check.Feed(block, got);
            // An unreadable piece is short at the failed read: its slices from there on are bad.
            if (check.Finish() != SliceVerdict::Intact)
                g_found[n] = Found::Damaged;
        }
        g_badIn[n] = 0;
        for (uint32_t s = 0; s < piece.slices; ++s)
            if (bad[s]) {
                g_missing[k++] = piece.input + s;
                ++g_badIn[n];
            }
    }
    return k;
}

void AppendList(StubText& text) {
    text.Append(join_text::kMissingOrDamaged);
    int listed = 0;
    unsigned long more = 0;
    for (int n = 0; n < g_ix->pieces; ++n) {
        if (g_found[n] == Found::Intact)
            continue;
        if (listed == kMaxListed) {
            ++more;
            continue;
        }
        ++listed;
        char name[11];
        FormatPieceName(n, name);
        text.Append("\n").Append(n > 0 && g_found[n] == Found::Damaged ? g_set->names[n] : name);
        text.Append(g_found[n] == Found::Missing ? join_text::kMissingMark : join_text::kDamagedMark);
    }
    if (more > 0)
        text.Append("\n").Append(join_text::kAnd).AppendNumber(more).Append(join_text::kMore);
    text.Append("\n\n");
}

void RefuseTooFew(uint32_t k) {
    StubText text;
    AppendList(text);
    const uint32_t more = k - g_slices.count;
    text.Append(join_text::kSlicesHeld).AppendNumber(g_slices.count).Append(join_text::kRecoverySlice);
    text.Append(g_slices.count == 1 ? "" : "s").Append(join_text::kSlicesNeeded).AppendNumber(k);
    text.Append(join_text::kAddVolumes).AppendNumber(more).Append(join_text::kMoreSlices);
    text.Append(join_text::kRecoverySlice).Append(more == 1 ? "" : "s").Append(join_text::kStartAgain);
    text.Append(join_text::kNothingWritten);
    ShowFatal(text.CStr());
}

void Refuse(const char* why, uint64_t mebibytes) {
    StubText text;
    AppendList(text);
    text.Append(why);
    if (mebibytes > 0)
        text.AppendNumber(static_cast<unsigned long>(mebibytes)).Append(join_text::kMiB);
    text.Append("\n").Append(join_text::kNothingWritten);
    ShowFatal(text.CStr());
}

bool ReadAt(const char* path, uint64_t offset, uint8_t* buffer, uint32_t len) {
    KernelHandle file(
        ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return file.IsValid() && ::SetFilePointerEx(file.Get(), to, nullptr, FILE_BEGIN) &&
           ::ReadFile(file.Get(), buffer, len, &got, nullptr) && got == len;
}

} // namespace

namespace {

// One pass: the buffers of missing slices j0 to j1 - 1 (of the solver's rows), and a read buffer.
struct Pass {
    const SliceSolve* solve;
    uint8_t* read;
    uint8_t* sums;
    uint32_t j0, j1;
    uint32_t slice;
    uint8_t* Sum(uint32_t j) const { return sums + static_cast<size_t>(j - j0) * slice; }
};

// The name alone, as catstub's other messages show files: all of them lie in the set's folder.
const char* BareName(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    return name;
}

void ReportRead(const char* path, unsigned long error) {
    StubText text;
    text.Append(join_text::kCantRead).Append(BareName(path)).Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

void ReportWrite(const char* path, unsigned long error) {
    StubText text;
    text.Append(join_text::kCantWrite).Append(BareName(path)).Append("\n\n");
    AppendSystemText(text, error);
    ShowFatal(text.CStr());
}

bool AddRecovery(const Pass& p) {
    for (uint32_t a = 0; a < p.solve->Taken(); ++a) {
        const char* path = g_files.paths[g_slices.file[a]];
        if (!ReadAt(path, g_slices.offset[a], p.read, p.slice)) {
            ReportRead(path, ::GetLastError());
            return false;
        }
        for (uint32_t j = p.j0; j < p.j1; ++j)
            gf16::field::MulAddFastest(p.solve->Coefficient(j, a), p.read, p.Sum(j), p.slice);
    }
    return true;
}

// Present slice i (in p.read, zero-padded) into every buffer of the pass, each with its own factor.
void AddSlice(const Pass& p, uint32_t i) {
    const uint32_t taken = p.solve->Taken();
    for (uint32_t a = 0; a < taken; ++a)
        g_factor[a] = gf16::field::InputFactor(i, g_slices.exponent[a]);
    for (uint32_t j = p.j0; j < p.j1; ++j) {
        uint16_t factor = 0;
        for (uint32_t a = 0; a < taken; ++a)
            factor ^= gf16::field::Mul(p.solve->Coefficient(j, a), g_factor[a]);
        g_sumFactor[j - p.j0] = factor;
    }
    // A block of the slice at a time into every buffer, so that it is read from the cache, not from memory.
    for (uint32_t at = 0; at < p.slice; at += kBlock) {
        const uint32_t len = p.slice - at < kBlock ? p.slice - at : kBlock;
        for (uint32_t j = p.j0; j < p.j1; ++j)
            gf16::field::MulAddFastest(g_sumFactor[j - p.j0], p.read + at, p.Sum(j) + at, len);
    }
}

// The slice of a piece at s: its length within the piece.
uint32_t SliceLength(const IndexedPiece& piece, uint32_t s, uint32_t slice) {
    const uint64_t rest = piece.length - uint64_t{s} * slice;
    return rest < slice ? static_cast<uint32_t>(rest) : slice;
}

bool AddPresent(const Pass& p) {
    for (int n = 0; n < g_ix->pieces; ++n) {
        if (g_found[n] == Found::Missing)
            continue;
        const IndexedPiece& piece = g_ix->piece[n];
        PiecePath(n, g_path);
        ReadHandle file(g_path);
        for (uint32_t s = 0; s < piece.slices; ++s) {
            const uint32_t len = SliceLength(piece, s, p.slice);
            uint32_t got = 0;
            if (!file.IsOpen() || !ReadUpTo(file, p.read, len, &got)) {
                ReportRead(g_path, file.LastError());
                return false;
            }
            if (g_bad[piece.firstSlice + s])
                continue;
            for (uint32_t b = got; b < p.slice; ++b)
                p.read[b] = 0;
            AddSlice(p, piece.input + s);
        }
    }
    return true;
}

// Piece n into out: its good slices from the file as it is, the others from the pass. False after reporting.
bool WriteRebuilt(int n, const Pass& p, uint32_t j, OutputFile& out) {
    const IndexedPiece& piece = g_ix->piece[n];
    ReadHandle file(g_path); // the damaged original, if there is one
    SmallMd5 md5;
    for (uint32_t s = 0; s < piece.slices; ++s) {
        const uint32_t len = SliceLength(piece, s, p.slice);
        const bool bad = g_bad[piece.firstSlice + s];
        uint32_t got = 0;
        if (file.IsOpen() && !ReadUpTo(file, p.read, len, &got) && !bad) {
            ReportRead(g_path, file.LastError());
            return false;
        }
        const uint8_t* bytes = bad ? p.Sum(j++) : p.read;
        md5.Update(bytes, len);
        if (!out.Write(bytes, len)) {
            ReportWrite(g_temp, out.LastError());
            return false;
        }
    }
    uint8_t digest[16];
    md5.Final(digest);
    if (par2::SameBytes(digest, piece.hash, 16))
        return true;
    StubText text;
    text.Append(join_text::kRebuiltWrong).Append(BareName(g_final)).Append(join_text::kRebuiltNotKept);
    ShowFatal(text.CStr());
    return false;
}

// "NAME.damaged", or with a number when that name is taken.
bool FreeDamagedName() {
    for (unsigned long number = 1; number < 1000; ++number) {
        StubText name;
        name.Append(g_final).Append(kDamagedSuffix);
        if (number > 1)
            name.AppendNumber(number);
        size_t i = 0;
        for (const char* c = name.CStr(); *c && i + 1 < kStubPathSize; ++c)
            g_kept[i++] = *c;
        g_kept[i] = 0;
        if (::GetFileAttributesA(g_kept) == INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

// Piece n rebuilt under a temporary name, checked, and given its name, a damaged original kept aside.
bool RebuildPiece(int n, const Pass& p, uint32_t j) {
    char name[11];
    FormatPieceName(n, name);
    const char* shown = g_found[n] == Found::Missing ? name : g_set->names[n];
    if (!JoinPath(g_final, g_folderPath, shown) || !JoinPath(g_temp, g_folderPath, shown))
        return false;
    size_t end = 0;
    while (g_temp[end])
        ++end;
    for (size_t i = 0; i < sizeof kRebuiltSuffix && end + i < kStubPathSize; ++i)
        g_temp[end + i] = kRebuiltSuffix[i];
    PiecePath(n, g_path);
    OutputFile out(g_temp);
    if (!out.IsOpen()) {
        ReportWrite(g_temp, out.LastError());
        return false;
    }
    if (!WriteRebuilt(n, p, j, out))
        return false;
    if (g_found[n] == Found::Damaged && (!FreeDamagedName() || !::MoveFileA(g_final, g_kept))) {
        ReportWrite(g_final, ::GetLastError());
        return false;
    }
    if (!out.Finish(g_final)) {
        ReportWrite(g_final, out.LastError());
        return false;
    }
    return true;
}

// One pass for the pieces from n on whose bad slices fit in room buffers; n moves past them.
bool RunPass(Pass& p, int& n, uint32_t room) {
    p.j0 = p.j1;
    const int first = n;
    while (n < g_ix->pieces && p.j1 - p.j0 + g_badIn[n] <= room)
        p.j1 += g_badIn[n++];
    uint32_t* words = reinterpret_cast<uint32_t*>(p.sums);
    for (size_t w = 0; w < static_cast<size_t>(p.j1 - p.j0) * p.slice / 4; ++w)
        words[w] = 0;
    if (p.j1 > p.j0 && (!AddRecovery(p) || !AddPresent(p)))
        return false;
    uint32_t j = p.j0;
    for (int m = first; m < n; ++m) {
        if (g_found[m] != Found::Intact && !RebuildPiece(m, p, j))
            return false;
        j += g_badIn[m];
    }
    return true;
}

uint8_t g_block[64 * 1024];

} // namespace

HealOutcome HealSet(const char* self, const char* folder, const PieceSet& pieces, const RecoveryIndex& index) {
    g_ix = &index;
    g_set = &pieces;
    g_selfPath = self;
    g_folderPath = folder;
    // Only a set of nothing but pieces, with catstub's own file sound, is rebuilt here.
    const uint32_t k = index.onlyPieces ? CheckPieces(g_block, sizeof g_block) : 0;
    bool any = false; // a piece longer than recorded has no bad slice, but is rewritten all the same
    for (int n = 1; index.onlyPieces && n < index.pieces; ++n)
        any = any || g_found[n] != Found::Intact;
    if (!any || g_found[0] != Found::Intact)
        return HealOutcome::Whole;
    gf16::field::Prepare();
    FindRecoveryFiles(folder, &g_files);
    FindRecoverySlices(g_files, index, &g_slices);
    if (g_slices.count < k) {
        RefuseTooFew(k);
        return HealOutcome::Stopped;
    }
    SliceSolve solve(g_missing, k, g_slices.exponent, g_slices.count);
    // Counted in 64 bits: the index chooses the slice size, and a slice above the limit is refused here.
    const uint64_t slice = index.sliceSize;
    uint32_t most = 0;
    for (int n = 0; n < index.pieces; ++n)
        most = g_badIn[n] > most ? g_badIn[n] : most;
    // The matrix and a read buffer, then as many buffers of missing slices as the limit leaves room for.
    const uint64_t fixed = (solve.Words() * 2 + 15) / 16 * 16 + slice;
    uint64_t room = fixed < kHealMemory ? (kHealMemory - fixed) / slice : 0;
    room = room < k ? room : k;
    Memory memory(room >= most && fixed < kHealMemory ? fixed + room * slice : 0);
    if (!memory.Get()) {
        const uint64_t needed = slice > kHealMemory ? slice : fixed + most * slice;
        const uint64_t mebibytes = (needed >> 20) + 1;
        Refuse(join_text::kNoMemory, mebibytes < 0xFFFFFFFFu ? mebibytes : 0xFFFFFFFFu);
        return HealOutcome::Stopped;
    }
    Pass pass{&solve, memory.Get() + (fixed - slice), memory.Get() + fixed, 0, 0, static_cast<uint32_t>(slice)};
    if (solve.Solve(reinterpret_cast<uint16_t*>(memory.Get())) != SolveStatus::Solved) {
        Refuse(join_text::kCantSolve, 0);
        return HealOutcome::Stopped;
    }
    StubText question;
    AppendList(question);
    question.Append(join_text::kCanRebuild);
    if (!AskToRebuild(question.CStr()))
        return HealOutcome::Stopped;
    for (int n = 0; n < index.pieces;)
        if (!RunPass(pass, n, static_cast<uint32_t>(room)))
            return HealOutcome::Failed;
    return HealOutcome::Rebuilt;
}
