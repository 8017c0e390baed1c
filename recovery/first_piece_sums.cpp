#include "recovery/first_piece_sums.h"

#include <algorithm>
#include <utility>

#include "platform/file.h"

FirstPieceSums::FirstPieceSums(std::string path, uint64_t length, uint64_t sliceSize)
    : path_(std::move(path)), length_(length) {
    whole_ = std::thread([this] { HashWhole(); });
    try {
        sliced_ = std::thread([this, sliceSize] { HashSlices(sliceSize); });
    } catch (...) {
        stop_ = true;
        Join();
        throw;
    }
}

FirstPieceSums::~FirstPieceSums() {
    stop_ = true;
    Join();
}

void FirstPieceSums::Join() {
    if (whole_.joinable())
        whole_.join();
    if (sliced_.joinable())
        sliced_.join();
}

void FirstPieceSums::Wait() {
    Join();
    if (wholeFailure_)
        std::rethrow_exception(wholeFailure_);
    if (slicesFailure_)
        std::rethrow_exception(slicesFailure_);
    uint64_t sliced = 0;
    for (const par2::FileDigest& slice : slices_)
        sliced += slice.length;
    if (bytes_ < length_ || sliced < length_)
        throw FileException(FileCause::EndOfFile, 0, path_);
}

void FirstPieceSums::HashWhole() {
    try {
        ::File in(path_, ::File::Mode::ReadDenyWrite);
        std::vector<uint8_t> block(1 << 20);
        Md5 file;
        for (size_t n; !stop_ && bytes_ < length_; bytes_ += n) {
            n = in.ReadUpTo(block.data(), static_cast<size_t>(std::min<uint64_t>(block.size(), length_ - bytes_)));
            if (n == 0)
                break;
            file.Update(block.data(), n);
        }
        file_ = file.Final();
    } catch (...) {
        wholeFailure_ = std::current_exception();
    }
}

void FirstPieceSums::HashSlices(uint64_t sliceSize) {
    try {
        std::vector<par2::FileSpan> spans;
        for (uint64_t at = 0; at < length_; at += sliceSize)
            spans.push_back({path_, at, std::min(sliceSize, length_ - at), sliceSize});
        slices_ = par2::HashSpans(spans, nullptr);
    } catch (...) {
        slicesFailure_ = std::current_exception();
    }
}
