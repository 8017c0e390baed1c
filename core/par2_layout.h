// The PAR2 packets as every writer and reader of recovery files sees them, catstub's reader included: the
// header, each packet type's body with named fields, and for each type the one check that makes its
// numbers safe to use, against the packet's own length and the set's limits. No allocation: a body's
// fields point into the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace par2 {

constexpr size_t kHeaderSize = 64;          // magic, length, packet MD5, recovery set ID, type
constexpr size_t kHashedFrom = 32;          // the packet MD5 covers the set ID, the type and the body
constexpr uint32_t kMaxInputSlices = 32768; // one constant per exponent coprime to 65535
constexpr uint64_t kHashedHead = 16384;     // a file's first 16 KiB get an MD5 of their own
// 2^65535 = 1 in GF(2^16): a recovery exponent of 65535 or more repeats a lower one's factors.
constexpr uint32_t kExponentLimit = 65535;

extern const uint8_t kMagic[8];              // "PAR2\0PKT"
extern const uint8_t kMainType[16];          // "PAR 2.0\0Main\0\0\0\0"
extern const uint8_t kFileDescType[16];      // "PAR 2.0\0FileDesc"
extern const uint8_t kSliceChecksumType[16]; // "PAR 2.0\0IFSC\0\0\0\0"
extern const uint8_t kRecoverySliceType[16]; // "PAR 2.0\0RecvSlic"
extern const uint8_t kCreatorType[16];       // "PAR 2.0\0Creator\0"

void PutU32(uint8_t* p, uint32_t v);
void PutU64(uint8_t* p, uint64_t v);
uint32_t GetU32(const uint8_t* p);
uint64_t GetU64(const uint8_t* p);
bool SameBytes(const uint8_t* a, const uint8_t* b, size_t len);

// Other first: a reader in static storage starts all zeros, so that catstub's image holds none of it.
enum class PacketType { Other, Main, FileDescription, SliceChecksums, RecoverySlice, Creator };
// The critical packets: those every recovery file repeats and a reader must hold whole.
bool IsCritical(PacketType type);

struct PacketHeader {
    uint64_t length = 0; // the whole packet, header included
    uint8_t hash[16] = {};
    uint8_t setId[16] = {};
    uint8_t type[16] = {};
    PacketType kind = PacketType::Other;
    uint64_t BodyLength() const { return length - kHeaderSize; }
};
// False when the 64 bytes are no packet header: no magic, or a length below 64 or not a multiple of 4.
bool ReadHeader(const uint8_t* bytes, PacketHeader& out);
// A header for a body of bodyLength bytes; its packet MD5 (bytes 16 to 31) is the caller's to fill.
void PutHeader(uint8_t* bytes, uint64_t bodyLength, const uint8_t* setId, const uint8_t* type);
constexpr size_t kPacketHashAt = 16;

// Main: the slice size, the number of files in the recovery set, their IDs in ascending order, then the
// IDs of files outside the recovery set (checked, never rebuilt), which nothing here uses.
struct MainBody {
    uint64_t sliceSize = 0; // a positive multiple of 4
    uint32_t files = 0;     // at least one
    // `files` IDs of 16 bytes.
    const uint8_t* fileIds = nullptr;
};
constexpr size_t kMainFixed = 12;
bool ReadMain(const uint8_t* body, uint64_t len, MainBody& out);
uint64_t MainSize(uint32_t files);
// The fixed part; the caller puts the IDs after it.
void PutMain(uint8_t* body, uint64_t sliceSize, uint32_t files);

// File description: file ID, MD5 of the file, MD5 of its first 16 KiB, its length, its name (zero-padded).
struct FileDescription {
    const uint8_t* fileId = nullptr;
    const uint8_t* hash = nullptr;
    const uint8_t* headHash = nullptr;
    uint64_t length = 0;
    const char* name = nullptr;
    size_t nameLen = 0; // without the padding zeros
};
constexpr size_t kFileDescFixed = 56;
bool ReadFileDescription(const uint8_t* body, uint64_t len, FileDescription& out);
uint64_t FileDescriptionSize(size_t nameLen); // the name padded to a multiple of 4
// The whole body, of FileDescriptionSize(in.nameLen) bytes.
void PutFileDescription(uint8_t* body, const FileDescription& in);

// Input file slice checksums: file ID, then per slice its MD5 and CRC-32, both of the slice zero-padded.
struct SliceChecksums {
    const uint8_t* fileId = nullptr;
    uint32_t count = 0; // at most kMaxInputSlices
    const uint8_t* entries = nullptr;
    const uint8_t* Md5(uint32_t i) const { return entries + kEntrySize * i; }
    uint32_t Crc(uint32_t i) const { return GetU32(entries + kEntrySize * i + 16); }
    static constexpr size_t kEntrySize = 20;
};
constexpr size_t kSliceChecksumsFixed = 16;
bool ReadSliceChecksums(const uint8_t* body, uint64_t len, SliceChecksums& out);
uint64_t SliceChecksumsSize(uint32_t count);
// The fixed part; count entries follow it, each filled in two halves (the MD5s and CRCs come apart).
void PutSliceChecksums(uint8_t* body, const uint8_t* fileId);
void PutSliceMd5(uint8_t* entries, uint32_t i, const uint8_t* md5);
void PutSliceCrc(uint8_t* entries, uint32_t i, uint32_t crc);

// Recovery slice: its exponent, then the slice's recovery data. Read from the first bytes of the body only,
// since the data is large; the data length is what the packet's own length leaves.
struct RecoverySlice {
    uint32_t exponent = 0; // below kExponentLimit
    uint64_t dataLength = 0;
};
constexpr size_t kRecoverySliceFixed = 4; // the exponent; the data follows
bool ReadRecoverySlice(const uint8_t* body, uint64_t len, RecoverySlice& out);
void PutRecoverySlice(uint8_t* body, uint32_t exponent);

// The set's limits, once the main packet is known.
// Slices of a file of that length; no wrap however large the numbers.
uint64_t SlicesOf(uint64_t length, uint64_t sliceSize);
// The file needs at most kMaxInputSlices slices.
bool FitsSet(const MainBody& main, const FileDescription& file);
// The checksums are of that file and count exactly its slices.
bool CountsFile(const MainBody& main, const FileDescription& file, const SliceChecksums& sums);
// Recovery data of exactly one slice.
bool IsSliceOf(const MainBody& main, const RecoverySlice& slice);

} // namespace par2
