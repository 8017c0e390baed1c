// Reading the recovery index packet by packet: the packets catstub needs are held whole and checked
// against their MD5 before any field is used; all others are passed over unread.
#include "core/recovery_index.h"

#include "core/small_md5.h"

namespace {

void Copy(const uint8_t* from, uint8_t* to, size_t len) {
    for (size_t i = 0; i < len; ++i)
        to[i] = from[i];
}

} // namespace

void RecoveryIndexReader::Feed(const uint8_t* data, size_t len) {
    while (len > 0 && stage_ != Stage::Broken) {
        if (stage_ == Stage::Header) {
            while (len > 0 && headerFill_ < sizeof headerBytes_) {
                headerBytes_[headerFill_++] = *data++;
                --len;
            }
            if (headerFill_ < sizeof headerBytes_)
                return;
            headerFill_ = 0;
            Header();
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

void RecoveryIndexReader::Header() {
    // The index is read whole or not at all: a packet that is no packet ends it.
    if (!par2::ReadHeader(headerBytes_, header_)) {
        stage_ = Stage::Broken;
        return;
    }
    bodyLen_ = header_.BodyLength();
    bodyFill_ = 0;
    if (!par2::IsCritical(header_.kind)) {
        stage_ = Stage::Skip;
        bodyFill_ = bodyLen_;
    } else if (bodyLen_ > kIndexMaxBody) {
        stage_ = Stage::Broken;
    } else {
        stage_ = Stage::Body;
    }
}

void RecoveryIndexReader::Packet() {
    stage_ = Stage::Broken;
    uint8_t digest[16];
    SmallMd5 md5;
    md5.Update(headerBytes_ + par2::kHashedFrom, par2::kHeaderSize - par2::kHashedFrom);
    md5.Update(body_, static_cast<size_t>(bodyLen_));
    md5.Final(digest);
    if (!par2::SameBytes(digest, header_.hash, 16))
        return;
    // One index, one set: packets of two sets in one file are no index of this one.
    if (haveSet_ && !par2::SameBytes(setId_, header_.setId, 16))
        return;
    Copy(header_.setId, setId_, 16);
    haveSet_ = true;
    stage_ = Stage::Header;
    if (header_.kind == par2::PacketType::Main)
        Main();
    else if (header_.kind == par2::PacketType::FileDescription)
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
    // The set ID is the MD5 of the main packet's body.
    if (!par2::SameBytes(digest, setId_, 16) || !par2::ReadMain(body_, bodyLen_, main_) ||
        main_.files > static_cast<uint32_t>(kMaxPieces)) {
        stage_ = Stage::Broken;
        return;
    }
    index_.sliceSize = main_.sliceSize;
    for (uint32_t i = 0; i < main_.files; ++i)
        Copy(main_.fileIds + 16 * i, mainIds_[i], 16);
    main_.fileIds = nullptr;
    haveMain_ = true;
}

void RecoveryIndexReader::Description() {
    par2::FileDescription desc;
    if (!par2::ReadFileDescription(body_, bodyLen_, desc)) {
        stage_ = Stage::Broken;
        return;
    }
    if (Described(desc.fileId))
        return;
    // A file that is no piece (a PAR2 program given "_Split#*" takes "_Split#notes.txt" too) is passed over.
    const int piece = ParsePieceName(desc.name, desc.nameLen).number;
    if (fileCount_ == kMaxPieces) {
        stage_ = Stage::Broken;
        return;
    }
    File& file = files_[fileCount_++];
    Copy(desc.fileId, file.id, 16);
    Copy(desc.headHash, file.headHash, 16);
    Copy(desc.hash, file.hash, 16);
    file.length = desc.length;
    file.piece = piece;
}

void RecoveryIndexReader::SliceChecksums() {
    par2::SliceChecksums sums;
    if (!par2::ReadSliceChecksums(body_, bodyLen_, sums)) {
        stage_ = Stage::Broken;
        return;
    }
    if (Counted(sums.fileId))
        return;
    if (sumsCount_ == kMaxPieces || sums.count > kIndexMaxSlices - slicesUsed_) {
        stage_ = Stage::Broken;
        return;
    }
    Checksums& kept = sums_[sumsCount_++];
    Copy(sums.fileId, kept.id, 16);
    kept.first = slicesUsed_;
    kept.count = sums.count;
    for (uint32_t i = 0; i < sums.count; ++i)
        index_.sliceCrc[slicesUsed_++] = sums.Crc(i);
}

bool RecoveryIndexReader::Described(const uint8_t* id) const {
    for (int i = 0; i < fileCount_; ++i)
        if (par2::SameBytes(files_[i].id, id, 16))
            return true;
    return false;
}

bool RecoveryIndexReader::Counted(const uint8_t* id) const {
    for (int i = 0; i < sumsCount_; ++i)
        if (par2::SameBytes(sums_[i].id, id, 16))
            return true;
    return false;
}

bool RecoveryIndexReader::Finish() {
    if (stage_ != Stage::Header || headerFill_ != 0 || !haveMain_)
        return false;
    int pieces = 0;
    int highest = -1;
    uint32_t input = 0; // input slices are numbered in the main packet's order of files
    for (uint32_t m = 0; m < main_.files; ++m) {
        const File* file = nullptr;
        for (int i = 0; i < fileCount_ && !file; ++i)
            if (par2::SameBytes(files_[i].id, mainIds_[m], 16))
                file = &files_[i];
        const Checksums* sums = nullptr;
        for (int i = 0; i < sumsCount_ && !sums; ++i)
            if (par2::SameBytes(sums_[i].id, mainIds_[m], 16))
                sums = &sums_[i];
        if (!file || !sums)
            return false;
        // Every file described and each of its slices counted, by the set's own limits; every piece once.
        par2::FileDescription desc;
        desc.fileId = file->id;
        desc.length = file->length;
        par2::SliceChecksums counted;
        counted.fileId = sums->id;
        counted.count = sums->count;
        if (!par2::CountsFile(main_, desc, counted))
            return false;
        input += sums->count;
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
        piece.input = input - sums->count;
        Copy(file->headHash, piece.headHash, 16);
        Copy(file->hash, piece.hash, 16);
    }
    // Pieces numbered from 0 without a gap.
    if (pieces == 0 || highest + 1 != pieces)
        return false;
    index_.pieces = pieces;
    index_.onlyPieces = static_cast<uint32_t>(pieces) == main_.files;
    Copy(setId_, index_.setId, 16);
    return true;
}

void RecoveryIndexReader::Reset() {
    stage_ = Stage::Header;
    headerFill_ = 0;
    bodyLen_ = bodyFill_ = 0;
    haveSet_ = haveMain_ = false;
    fileCount_ = sumsCount_ = 0;
    slicesUsed_ = 0;
    for (bool& seen : seen_)
        seen = false;
    index_.pieces = 0;
    index_.onlyPieces = false;
}
