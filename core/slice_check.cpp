// The index records each slice's CRC-32 zero-padded to the slice size: a piece's last slice is
// padded here before it is compared, by arithmetic rather than by bytes, since the slice size is the
// index's to choose.
#include "core/slice_check.h"

#include "core/crc32.h"

void SliceCheck::Feed(const uint8_t* data, size_t len) {
    if (!piece_)
        return;
    while (len > 0 && fed_ < piece_->length) {
        uint64_t n = index_->sliceSize - inSlice_;
        if (n > piece_->length - fed_)
            n = piece_->length - fed_;
        if (n > len)
            n = len;
        reg_ = Crc32Fast(reg_, data, static_cast<size_t>(n));
        data += n;
        len -= static_cast<size_t>(n);
        fed_ += n;
        inSlice_ += n;
        if (inSlice_ == index_->sliceSize)
            EndSlice();
    }
    // Bytes beyond the recorded length only count.
    fed_ += len;
}

void SliceCheck::EndSlice() {
    const bool bad = ~reg_ != index_->sliceCrc[piece_->firstSlice + slice_];
    damaged_ = damaged_ || bad;
    if (bad_)
        bad_[slice_] = bad;
    ++slice_;
    inSlice_ = 0;
    reg_ = 0xFFFFFFFFu;
}

SliceVerdict SliceCheck::Finish() {
    if (!piece_)
        return SliceVerdict::Intact;
    if (fed_ < piece_->length) // the slices the piece is too short for are not there
        for (uint32_t s = slice_; bad_ && s < piece_->slices; ++s)
            bad_[s] = true;
    if (fed_ != piece_->length)
        return SliceVerdict::WrongSize;
    if (inSlice_ > 0) {
        reg_ = Crc32Zeros(reg_, index_->sliceSize - inSlice_);
        EndSlice();
    }
    return damaged_ ? SliceVerdict::Damaged : SliceVerdict::Intact;
}
