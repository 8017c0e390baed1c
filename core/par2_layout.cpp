// The PAR2 layout: offsets live here only, and every number is checked before a reader may use it.
#include "core/par2_layout.h"

namespace par2 {
namespace {

// Header fields.
constexpr size_t kLengthAt = 8, kSetIdAt = 32, kTypeAt = 48;
// Main body.
constexpr size_t kSliceSizeAt = 0, kFileCountAt = 8;
// File description body.
constexpr size_t kFileIdAt = 0, kFileHashAt = 16, kHeadHashAt = 32, kFileLengthAt = 48;

void CopyBytes(const uint8_t* from, uint8_t* to, size_t len) {
    for (size_t i = 0; i < len; ++i)
        to[i] = from[i];
}

PacketType KindOf(const uint8_t* type) {
    if (SameBytes(type, kMainType, 16))
        return PacketType::Main;
    if (SameBytes(type, kFileDescType, 16))
        return PacketType::FileDescription;
    if (SameBytes(type, kSliceChecksumType, 16))
        return PacketType::SliceChecksums;
    if (SameBytes(type, kRecoverySliceType, 16))
        return PacketType::RecoverySlice;
    if (SameBytes(type, kCreatorType, 16))
        return PacketType::Creator;
    return PacketType::Other;
}

} // namespace

const uint8_t kMagic[8] = {'P', 'A', 'R', '2', 0, 'P', 'K', 'T'};
const uint8_t kMainType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'M', 'a', 'i', 'n', 0, 0, 0, 0};
const uint8_t kFileDescType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'F', 'i', 'l', 'e', 'D', 'e', 's', 'c'};
const uint8_t kSliceChecksumType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'I', 'F', 'S', 'C', 0, 0, 0, 0};
const uint8_t kRecoverySliceType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'R', 'e', 'c', 'v', 'S', 'l', 'i', 'c'};
const uint8_t kCreatorType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'C', 'r', 'e', 'a', 't', 'o', 'r', 0};

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t GetU64(const uint8_t* p) {
    return GetU32(p) | static_cast<uint64_t>(GetU32(p + 4)) << 32;
}

bool SameBytes(const uint8_t* a, const uint8_t* b, size_t len) {
    for (size_t i = 0; i < len; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

bool IsCritical(PacketType type) {
    return type == PacketType::Main || type == PacketType::FileDescription || type == PacketType::SliceChecksums;
}

bool ReadHeader(const uint8_t* bytes, PacketHeader& out) {
    if (!SameBytes(bytes, kMagic, 8))
        return false;
    out.length = GetU64(bytes + kLengthAt);
    if (out.length < kHeaderSize || out.length % 4 != 0)
        return false;
    CopyBytes(bytes + kPacketHashAt, out.hash, 16);
    CopyBytes(bytes + kSetIdAt, out.setId, 16);
    CopyBytes(bytes + kTypeAt, out.type, 16);
    out.kind = KindOf(out.type);
    return true;
}

void PutHeader(uint8_t* bytes, uint64_t bodyLength, const uint8_t* setId, const uint8_t* type) {
    CopyBytes(kMagic, bytes, 8);
    PutU64(bytes + kLengthAt, kHeaderSize + bodyLength);
    for (size_t i = 0; i < 16; ++i)
        bytes[kPacketHashAt + i] = 0;
    CopyBytes(setId, bytes + kSetIdAt, 16);
    CopyBytes(type, bytes + kTypeAt, 16);
}

bool ReadMain(const uint8_t* body, uint64_t len, MainBody& out) {
    if (len < kMainFixed || (len - kMainFixed) % 16 != 0)
        return false;
    out.sliceSize = GetU64(body + kSliceSizeAt);
    out.files = GetU32(body + kFileCountAt);
    out.fileIds = body + kMainFixed;
    return out.sliceSize > 0 && out.sliceSize % 4 == 0 && out.files > 0 && MainSize(out.files) <= len;
}

uint64_t MainSize(uint32_t files) {
    return kMainFixed + uint64_t{16} * files;
}

void PutMain(uint8_t* body, uint64_t sliceSize, uint32_t files) {
    PutU64(body + kSliceSizeAt, sliceSize);
    PutU32(body + kFileCountAt, files);
}

bool ReadFileDescription(const uint8_t* body, uint64_t len, FileDescription& out) {
    if (len < kFileDescFixed)
        return false;
    out.fileId = body + kFileIdAt;
    out.hash = body + kFileHashAt;
    out.headHash = body + kHeadHashAt;
    out.length = GetU64(body + kFileLengthAt);
    out.name = reinterpret_cast<const char*>(body + kFileDescFixed);
    // The name ends at its first zero: the padding, or a name that carries one.
    size_t n = 0;
    while (n < len - kFileDescFixed && out.name[n] != 0)
        ++n;
    out.nameLen = n;
    return n > 0;
}

uint64_t FileDescriptionSize(size_t nameLen) {
    return kFileDescFixed + ((uint64_t{nameLen} + 3) & ~uint64_t{3});
}

void PutFileDescription(uint8_t* body, const FileDescription& in) {
    CopyBytes(in.fileId, body + kFileIdAt, 16);
    CopyBytes(in.hash, body + kFileHashAt, 16);
    CopyBytes(in.headHash, body + kHeadHashAt, 16);
    PutU64(body + kFileLengthAt, in.length);
    const uint64_t size = FileDescriptionSize(in.nameLen);
    for (size_t i = 0; kFileDescFixed + i < size; ++i)
        body[kFileDescFixed + i] = i < in.nameLen ? static_cast<uint8_t>(in.name[i]) : 0;
}

bool ReadSliceChecksums(const uint8_t* body, uint64_t len, SliceChecksums& out) {
    if (len < kSliceChecksumsFixed || (len - kSliceChecksumsFixed) % SliceChecksums::kEntrySize != 0)
        return false;
    const uint64_t count = (len - kSliceChecksumsFixed) / SliceChecksums::kEntrySize;
    if (count > kMaxInputSlices)
        return false;
    out.fileId = body;
    out.count = static_cast<uint32_t>(count);
    out.entries = body + kSliceChecksumsFixed;
    return true;
}

uint64_t SliceChecksumsSize(uint32_t count) {
    return kSliceChecksumsFixed + uint64_t{SliceChecksums::kEntrySize} * count;
}

void PutSliceChecksums(uint8_t* body, const uint8_t* fileId) {
    CopyBytes(fileId, body, 16);
}

void PutSliceMd5(uint8_t* entries, uint32_t i, const uint8_t* md5) {
    CopyBytes(md5, entries + SliceChecksums::kEntrySize * i, 16);
}

void PutSliceCrc(uint8_t* entries, uint32_t i, uint32_t crc) {
    PutU32(entries + SliceChecksums::kEntrySize * i + 16, crc);
}

bool ReadRecoverySlice(const uint8_t* body, uint64_t len, RecoverySlice& out) {
    if (len < kRecoverySliceFixed)
        return false;
    out.exponent = GetU32(body);
    out.dataLength = len - kRecoverySliceFixed;
    return out.exponent < kExponentLimit;
}

void PutRecoverySlice(uint8_t* body, uint32_t exponent) {
    PutU32(body, exponent);
}

uint64_t SlicesOf(uint64_t length, uint64_t sliceSize) {
    return sliceSize == 0 ? 0 : length / sliceSize + (length % sliceSize != 0 ? 1 : 0);
}

bool FitsSet(const MainBody& main, const FileDescription& file) {
    return main.sliceSize > 0 && SlicesOf(file.length, main.sliceSize) <= kMaxInputSlices;
}

bool CountsFile(const MainBody& main, const FileDescription& file, const SliceChecksums& sums) {
    return FitsSet(main, file) && SameBytes(sums.fileId, file.fileId, 16) &&
           sums.count == SlicesOf(file.length, main.sliceSize);
}

bool IsSliceOf(const MainBody& main, const RecoverySlice& slice) {
    return main.sliceSize > 0 && slice.dataLength == main.sliceSize;
}

} // namespace par2
