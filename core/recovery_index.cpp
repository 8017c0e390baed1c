// Reading the recovery index packet by packet: the packets catstub needs are held whole and checked
// against their MD5 before any field is used; all others are passed over unread.
#include "core/recovery_index.h"

#include "core/small_md5.h"

namespace {

constexpr uint8_t kMagic[8] = {'P', 'A', 'R', '2', 0, 'P', 'K', 'T'};
constexpr uint8_t kMainType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'M', 'a', 'i', 'n', 0, 0, 0, 0};
constexpr uint8_t kFileDescType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'F', 'i', 'l', 'e', 'D', 'e', 's', 'c'};
constexpr uint8_t kSliceChecksumType[16] = {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'I', 'F', 'S', 'C', 0, 0, 0, 0};

bool Same(const uint8_t* a, const uint8_t* b, size_t len) {
    for (size_t i = 0; i < len; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

void Copy(const uint8_t* from, uint8_t* to, size_t len) {
    for (size_t i = 0; i < len; ++i)
        to[i] = from[i];
}

uint64_t GetU64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

uint32_t GetU32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsCritical(const uint8_t* type) {
    return Same(type, kMainType, 16) || Same(type, kFileDescType, 16) || Same(type, kSliceChecksumType, 16);
}

} // namespace

void RecoveryIndexReader::Feed(const uint8_t* data, size_t len) {
    while (len > 0 && stage_ != Stage::Broken) {
        if (stage_ == Stage::Header) {
            while (len > 0 && headerFill_ < sizeof header_) {
                header_[headerFill_++] = *data++;
                --len;
            }
            if (headerFill_ < sizeof header_)
                return;
            headerFill_ = 0;
            const uint64_t length = GetU64(header_ + 8);
            if (!Same(header_, kMagic, 8) || length < 64 || length % 4 != 0) {
                stage_ = Stage::Broken;
                return;
            }
            bodyLen_ = length - 64;
            bodyFill_ = 0;
            if (!IsCritical(header_ + 48)) {
                stage_ = Stage::Skip;
                bodyFill_ = bodyLen_;
            } else if (bodyLen_ > kIndexMaxBody) {
                stage_ = Stage::Broken;
            } else {
                stage_ = Stage::Body;
            }
        } else if (stage_ == Stage::Body) {
            while (len > 0 && bodyFill_ < bodyLen_) {
                body_[bodyFill_++] = *data++;
                --len;
            }
            if (bodyFill_ == bodyLen_)
                Packet();
        } else {
            const size_t n = bodyFill_ < len ? static_cast<size_t>(bodyFill_) : len;
            data += n;
            len -= n;
            bodyFill_ -= n;
        }
        if (stage_ == Stage::Skip && bodyFill_ == 0)
            stage_ = Stage::Header;
    }
}

void RecoveryIndexReader::Packet() {
    stage_ = Stage::Broken;
    // The packet MD5 covers the set ID, the type and the body.
    uint8_t digest[16];
    SmallMd5 md5;
    md5.Update(header_ + 32, 32);
    md5.Update(body_, static_cast<size_t>(bodyLen_));
    md5.Final(digest);
    if (!Same(digest, header_ + 16, 16))
        return;
    // One index, one set: packets of two sets in one file are no index of this one.
    if (haveSet_ && !Same(setId_, header_ + 32, 16))
        return;
    Copy(header_ + 32, setId_, 16);
    haveSet_ = true;
    stage_ = Stage::Header;
    const uint8_t* type = header_ + 48;
    if (Same(type, kMainType, 16))
        Main();
    else if (Same(type, kFileDescType, 16))
        Description();
    else
        SliceChecksums();
}

void RecoveryIndexReader::Main() {
    if (haveMain_) // repeated, and the same by its MD5 and set ID
        return;
    uint8_t digest[16];
    SmallMd5 md5;
    md5.Update(body_, static_cast<size_t>(bodyLen_));
    md5.Final(digest);
    const uint64_t sliceSize = bodyLen_ >= 12 ? GetU64(body_) : 0;
    const uint32_t files = bodyLen_ >= 12 ? GetU32(body_ + 8) : 0;
    // The set ID is the MD5 of the main packet's body.
    if (!Same(digest, setId_, 16) || sliceSize == 0 || sliceSize % 4 != 0 || files == 0 || files > kMaxPieces ||
        bodyLen_ < 12 + 16 * static_cast<uint64_t>(files)) {
        stage_ = Stage::Broken;
        return;
    }
    index_.sliceSize = sliceSize;
    mainFiles_ = files;
    for (uint32_t i = 0; i < files; ++i)
        Copy(body_ + 12 + 16 * i, mainIds_[i], 16);
    haveMain_ = true;
}

void RecoveryIndexReader::Description() {
    // File ID, its MD5, the MD5 of its first 16 KiB, its length, then its name.
    if (bodyLen_ < 57) {
        stage_ = Stage::Broken;
        return;
    }
    if (Described(body_))
        return;
    size_t nameLen = static_cast<size_t>(bodyLen_ - 56);
    while (nameLen > 0 && body_[56 + nameLen - 1] == 0)
        --nameLen;
    // A file that is no piece (a PAR2 program given "_Split#*" takes "_Split#notes.txt" too) is passed over.
    const int piece = ParsePieceName(reinterpret_cast<const char*>(body_ + 56), nameLen).number;
    if (fileCount_ == kMaxPieces) {
        stage_ = Stage::Broken;
        return;
    }
    File& file = files_[fileCount_++];
    Copy(body_, file.id, 16);
    Copy(body_ + 32, file.headHash, 16);
    file.length = GetU64(body_ + 48);
    file.piece = piece;
}

void RecoveryIndexReader::SliceChecksums() {
    if (bodyLen_ < 16 || (bodyLen_ - 16) % 20 != 0) {
        stage_ = Stage::Broken;
        return;
    }
    if (Counted(body_))
        return;
    const uint32_t count = static_cast<uint32_t>((bodyLen_ - 16) / 20);
    if (sumsCount_ == kMaxPieces || count > kIndexMaxSlices - slicesUsed_) {
        stage_ = Stage::Broken;
        return;
    }
    Checksums& sums = sums_[sumsCount_++];
    Copy(body_, sums.id, 16);
    sums.first = slicesUsed_;
    sums.count = count;
    // Each slice: its MD5 (16 bytes), then its CRC-32.
    for (uint32_t i = 0; i < count; ++i) {
        index_.sliceCrc[slicesUsed_++] = GetU32(body_ + 16 + 20 * static_cast<size_t>(i) + 16);
    }
}

bool RecoveryIndexReader::Described(const uint8_t* id) const {
    for (int i = 0; i < fileCount_; ++i)
        if (Same(files_[i].id, id, 16))
            return true;
    return false;
}

bool RecoveryIndexReader::Counted(const uint8_t* id) const {
    for (int i = 0; i < sumsCount_; ++i)
        if (Same(sums_[i].id, id, 16))
            return true;
    return false;
}

bool RecoveryIndexReader::Finish() {
    if (stage_ != Stage::Header || headerFill_ != 0 || !haveMain_)
        return false;
    int pieces = 0;
    int highest = -1;
    for (uint32_t m = 0; m < mainFiles_; ++m) {
        const File* file = nullptr;
        for (int i = 0; i < fileCount_ && !file; ++i)
            if (Same(files_[i].id, mainIds_[m], 16))
                file = &files_[i];
        const Checksums* sums = nullptr;
        for (int i = 0; i < sumsCount_ && !sums; ++i)
            if (Same(sums_[i].id, mainIds_[m], 16))
                sums = &sums_[i];
        // Every file described and each slice counted; every piece once.
        if (!file || !sums || sums->count != (file->length + index_.sliceSize - 1) / index_.sliceSize)
            return false;
        if (file->piece < 0)
            continue;
        if (seen_[file->piece])
            return false;
        seen_[file->piece] = true;
        ++pieces;
        highest = file->piece > highest ? file->piece : highest;
        IndexedPiece& piece = index_.piece[file->piece];
        piece.length = file->length;
        piece.firstSlice = sums->first;
        piece.slices = sums->count;
        Copy(file->headHash, piece.headHash, 16);
    }
    // Pieces numbered from 0 without a gap.
    if (pieces == 0 || highest + 1 != pieces)
        return false;
    index_.pieces = pieces;
    return true;
}
