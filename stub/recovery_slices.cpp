// Recovery packets are read whole once to check their MD5; their data is read again when a piece is
// rebuilt, from the offset kept here.
#include <windows.h>

#include "core/small_md5.h"
#include "platform/owned_handles.h"
#include "stub/recovery_slices.h"

namespace {

uint8_t g_block[64 * 1024];
bool g_seen[65536]; // exponents found

size_t Length(const char* text) {
    size_t len = 0;
    while (text[len])
        ++len;
    return len;
}

bool ReadAll(HANDLE file, uint8_t* buffer, uint32_t len) {
    DWORD got = 0;
    return ::ReadFile(file, buffer, len, &got, nullptr) && got == len;
}

enum class Body { Sound, Damaged, Unreadable };

// The body of a recovery packet whose header is read, its MD5 checked as it passes.
Body ReadBody(HANDLE file, const par2::PacketHeader& header, const uint8_t* headerBytes, uint32_t* exponent) {
    SmallMd5 md5;
    md5.Update(headerBytes + par2::kHashedFrom, par2::kHeaderSize - par2::kHashedFrom);
    uint64_t left = header.BodyLength();
    bool first = true;
    while (left > 0) {
        const uint32_t n = left < sizeof g_block ? static_cast<uint32_t>(left) : sizeof g_block;
        if (!ReadAll(file, g_block, n))
            return Body::Unreadable;
        if (first)
            *exponent = par2::GetU32(g_block);
        first = false;
        md5.Update(g_block, n);
        left -= n;
    }
    uint8_t digest[16];
    md5.Final(digest);
    return par2::SameBytes(digest, header.hash, 16) ? Body::Sound : Body::Damaged;
}

void ScanFile(HANDLE file, uint16_t number, const RecoveryIndex& index, FoundSlices* found) {
    uint8_t headerBytes[par2::kHeaderSize];
    uint64_t at = 0;
    for (;;) {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        par2::PacketHeader header;
        // A packet that is no packet ends the file's scan: its length cannot be trusted to find the next.
        if (!::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) || !ReadAll(file, headerBytes, sizeof headerBytes) ||
            !par2::ReadHeader(headerBytes, header))
            return;
        uint32_t exponent = 0;
        if (header.kind == par2::PacketType::RecoverySlice && par2::SameBytes(header.setId, index.setId, 16) &&
            header.BodyLength() == par2::kRecoverySliceFixed + index.sliceSize) {
            const Body body = ReadBody(file, header, headerBytes, &exponent);
            if (body == Body::Unreadable)
                return;
            // A damaged packet is passed over by its MD5, as any other.
            if (body == Body::Sound && exponent < par2::kExponentLimit && !g_seen[exponent] &&
                found->count < kMaxFoundSlices) {
                g_seen[exponent] = true;
                found->exponent[found->count] = exponent;
                found->file[found->count] = number;
                found->offset[found->count] = at + par2::kHeaderSize + par2::kRecoverySliceFixed;
                ++found->count;
            }
        }
        at += header.length;
    }
}

} // namespace

void FindRecoveryFiles(const char* folder, RecoveryFiles* files) {
    files->count = 0;
    char pattern[kStubPathSize];
    if (!JoinPath(pattern, folder, "_Split#*.par2"))
        return;
    WIN32_FIND_DATAA data;
    SearchHandle search(::FindFirstFileA(pattern, &data));
    for (bool more = search.IsValid(); more && files->count < kMaxRecoveryFiles;
         more = ::FindNextFileA(search.Get(), &data) != 0) {
        if (!IsRecoveryFileName(data.cFileName, Length(data.cFileName)) ||
            !JoinPath(files->paths[files->count], folder, data.cFileName))
            continue;
        // The index first: it is the file most likely whole.
        if (Length(data.cFileName) == sizeof kIndexFileName - 1 && files->count > 0) {
            char* first = files->paths[0];
            char* last = files->paths[files->count];
            for (size_t i = 0; i < kStubPathSize; ++i) {
                const char t = first[i];
                first[i] = last[i];
                last[i] = t;
            }
        }
        ++files->count;
    }
}

void FindRecoverySlices(const RecoveryFiles& files, const RecoveryIndex& index, FoundSlices* found) {
    found->count = 0;
    for (int f = 0; f < files.count; ++f) {
        KernelHandle file(::CreateFileA(files.paths[f], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid())
            ScanFile(file.Get(), static_cast<uint16_t>(f), index, found);
    }
}
