// The checksums of a split's first piece, read back once its header's CRC is known: its MD5 on a thread of
// its own (one stream, which no lanes speed up), its slices' side by side on others. Hashed aside, they no
// longer hold up the recovery slices, which need none of them. (Its first 16 KiB are hashed where its ID is.)
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "recovery/md5.h"
#include "recovery/piece_hashing.h"

class FirstPieceSums {
public:
    // The first `length` bytes of the file at path, in slices of sliceSize.
    FirstPieceSums(std::string path, uint64_t length, uint64_t sliceSize);
    // Stops the whole's reading if it is still under way.
    ~FirstPieceSums();
    FirstPieceSums(const FirstPieceSums&) = delete;
    FirstPieceSums& operator=(const FirstPieceSums&) = delete;

    // Waits for the end; throws what the reading threw (FileException, bad_alloc), or a FileException when
    // the file had fewer bytes.
    void Wait();
    const Md5Digest& File() const { return file_; }
    // Each slice's MD5 and CRC-32 register, zero-padded to the slice size.
    const std::vector<par2::FileDigest>& Slices() const { return slices_; }

private:
    void HashWhole();
    void HashSlices(uint64_t sliceSize);
    void Join();

    std::string path_;
    uint64_t length_;
    std::atomic<bool> stop_{false};
    Md5Digest file_{};
    uint64_t bytes_ = 0;
    std::vector<par2::FileDigest> slices_;
    std::exception_ptr wholeFailure_, slicesFailure_;
    std::thread whole_, sliced_;
};
