// The pieces present hashed while their recovery set is read: their whole MD5s and CRC-32s need nothing of
// the set, only the comparison does, so the reading of the set and of the pieces share the cores.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/progress_meter.h"
#include "recovery/piece_hashing.h"

namespace par2 {

class EarlyHashes {
public:
    // Whether reading that many files beside the set pays: only when they are more than one group of lanes
    // for every core. Fewer, each file is a lane's stream that the cores finish no sooner than the longest
    // one, and reading the set beside them only slows those streams.
    static bool Worthwhile(size_t files);

    // Starts reading the files of `paths` on a thread of its own; without a thread to spare, nothing is read.
    explicit EarlyHashes(std::vector<std::string> paths);
    // Cancels what is left and waits for the thread.
    ~EarlyHashes();
    EarlyHashes(const EarlyHashes&) = delete;
    EarlyHashes& operator=(const EarlyHashes&) = delete;

    // Waits for the digests when the files read are all among those `wanted`, telling `meter` the bytes read
    // meanwhile (its JobStopped ends the wait); else cancels: a file named like a piece that the set does not
    // describe may be of any size, and is no reason to read anything. Then the digest of a path, or null when
    // it was not read: not asked for, cancelled, or the reading failed, which the caller then meets for itself
    // when it reads the files it needs.
    void Wait(const std::vector<std::string>& wanted, ProgressMeter& meter);
    const FileDigest* Of(const std::string& path) const;

private:
    void Run();

    std::vector<std::string> paths_;
    std::vector<FileDigest> digests_;                // one per path once read whole
    std::unordered_map<std::string, size_t> byPath_; // after the wait: where each path's digest is
    std::atomic<uint64_t> bytes_{0};
    std::atomic<bool> cancel_{false}, done_{false};
    std::thread thread_;
};

} // namespace par2
