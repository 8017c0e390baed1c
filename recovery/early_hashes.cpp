#include "recovery/early_hashes.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <unordered_set>

#include "recovery/md5_lanes.h"

namespace par2 {

bool EarlyHashes::Worthwhile(size_t files) {
    return files > Md5Lanes() * std::max(1u, std::thread::hardware_concurrency());
}

EarlyHashes::EarlyHashes(std::vector<std::string> paths) : paths_(std::move(paths)) {
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        done_ = true;
    }
}

EarlyHashes::~EarlyHashes() {
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
}

void EarlyHashes::Run() {
    // The meter of this thread only: it passes the bytes on and turns a cancel into a stop.
    const ProgressCallback progress = [this](uint64_t done, uint64_t) {
        bytes_ = done;
        return !cancel_;
    };
    ProgressMeter meter(progress, UINT64_MAX);
    try {
        std::vector<FileDigest> digests = HashFiles(paths_, &meter);
        if (!cancel_)
            digests_ = std::move(digests);
    } catch (const JobStopped&) {
        // not wanted any more
    } catch (...) {
        // A file that cannot be read, or no memory: the caller reads the files it needs again, as if nothing
        // had been read here, and meets the failure itself.
    }
    done_ = true;
}

void EarlyHashes::Wait(const std::vector<std::string>& wanted, ProgressMeter& meter) {
    const std::unordered_set<std::string> want(wanted.begin(), wanted.end());
    for (const std::string& path : paths_)
        if (!want.count(path)) {
            cancel_ = true;
            if (thread_.joinable())
                thread_.join();
            return;
        }
    uint64_t told = 0;
    auto tell = [&] {
        const uint64_t now = bytes_;
        meter.Advance(now - told);
        told = now;
    };
    try {
        while (!done_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            tell();
        }
        if (thread_.joinable())
            thread_.join();
        tell();
        for (size_t i = 0; i < digests_.size(); ++i)
            byPath_.emplace(paths_[i], i);
    } catch (const JobStopped&) {
        cancel_ = true;
        throw;
    }
}

const FileDigest* EarlyHashes::Of(const std::string& path) const {
    const auto it = byPath_.find(path);
    return it == byPath_.end() ? nullptr : &digests_[it->second];
}

} // namespace par2
