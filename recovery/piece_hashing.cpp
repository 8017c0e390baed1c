#include "recovery/piece_hashing.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/crc32.h"
#include "platform/file.h"
#include "recovery/md5.h"
#include "recovery/md5_lanes.h"

namespace par2 {
namespace {

// A block of each file per turn: small enough that a group's blocks (a MiB for sixteen lanes) stay in the
// core's own cache while the lanes and the CRC-32 take them; a few large files, each a lane's stream, run
// at the speed of their loads.
constexpr size_t kBlock = 64 * 1024;
constexpr size_t kBlockStride = LaneStride(kBlock);

// Files read in turn, a block each, until every one has ended.
class Group {
public:
    Group(const FileSpan* spans, FileDigest* out, size_t count)
        : out_(out), count_(count), files_(count), left_(count), padTo_(count), hashers_(count),
          blocks_(count * kBlockStride) {
        for (size_t i = 0; i < count; ++i) {
            files_[i].Open(spans[i].path, File::Mode::ReadDenyWrite);
            if (spans[i].offset > 0)
                files_[i].Seek(spans[i].offset);
            left_[i] = spans[i].length;
            padTo_[i] = spans[i].padTo;
        }
    }

    // One block of every file not yet ended; the bytes read, 0 when all have ended.
    uint64_t Turn() {
        Md5* hashers[kMostLanes];
        const uint8_t* data[kMostLanes];
        size_t lens[kMostLanes], used = 0;
        uint64_t read = 0;
        for (size_t i = 0; i < count_; ++i) {
            if (!files_[i].IsOpen())
                continue;
            uint8_t* block = blocks_.data() + i * kBlockStride;
            const size_t got =
                left_[i] == 0 ? 0 : files_[i].Read(block, static_cast<size_t>(std::min<uint64_t>(kBlock, left_[i])));
            left_[i] -= got;
            if (got == 0) {
                files_[i].Close();
                PadAndEnd(i);
                continue;
            }
            out_[i].length += got;
            out_[i].crcRegister = Crc32Fast(out_[i].crcRegister, block, got);
            hashers[used] = &hashers_[i];
            data[used] = block;
            lens[used++] = got;
            read += got;
        }
        Md5SideBySide(hashers, data, lens, used);
        return read;
    }

private:
    void PadAndEnd(size_t i) {
        const uint64_t zeros = padTo_[i] > out_[i].length ? padTo_[i] - out_[i].length : 0;
        Md5Zeros(hashers_[i], zeros);
        out_[i].crcRegister = Crc32Zeros(out_[i].crcRegister, zeros);
        out_[i].md5 = hashers_[i].Final();
    }

    FileDigest* out_;
    size_t count_;
    std::vector<File> files_;
    std::vector<uint64_t> left_;
    std::vector<uint64_t> padTo_;
    std::vector<Md5> hashers_;
    std::vector<uint8_t> blocks_;
};

// The work shared by the threads: groups of files in order, the bytes read so far, a stop for all.
struct Shared {
    Shared(const std::vector<FileSpan>& s, std::vector<FileDigest>& o, size_t g) : spans(s), out(o), groupSize(g) {}
    const std::vector<FileSpan>& spans;
    std::vector<FileDigest>& out;
    size_t groupSize;
    std::atomic<size_t> nextGroup{0};
    std::atomic<uint64_t> bytes{0};
    std::atomic<bool> stop{false};
    std::atomic<size_t> working{0};
    std::mutex failureLock;
    std::exception_ptr failure;
};

void Fail(Shared& shared, std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(shared.failureLock);
    if (!shared.failure)
        shared.failure = failure;
    shared.stop = true;
}

// Groups until none is left or a stop; `onTurn` runs after every turn (on the calling thread, the meter's).
template <class OnTurn> void Work(Shared& shared, OnTurn onTurn) {
    try {
        for (;;) {
            const size_t first = shared.nextGroup++ * shared.groupSize;
            if (first >= shared.spans.size() || shared.stop)
                break;
            const size_t count = std::min(shared.groupSize, shared.spans.size() - first);
            Group group(&shared.spans[first], &shared.out[first], count);
            for (uint64_t got; !shared.stop && (got = group.Turn()) > 0;) {
                shared.bytes += got;
                onTurn();
            }
        }
    } catch (...) {
        Fail(shared, std::current_exception());
    }
    --shared.working;
}

// The other threads' share of the work, waited for at the end: a failure or a stop ends theirs too.
class Helpers {
public:
    Helpers(Shared& shared, size_t count) {
        for (size_t t = 0; t < count; ++t) {
            ++shared.working;
            try {
                threads_.emplace_back([&shared] { Work(shared, [] {}); });
            } catch (const std::system_error&) {
                --shared.working; // fewer threads: the others take its share
                break;
            }
        }
    }
    ~Helpers() {
        for (std::thread& t : threads_)
            t.join();
    }

private:
    std::vector<std::thread> threads_;
};

} // namespace

std::vector<FileDigest> HashSpans(const std::vector<FileSpan>& spans, ProgressMeter* meter) {
    std::vector<FileDigest> out(spans.size());
    const size_t threads = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), spans.size());
    if (threads == 0)
        return out;
    // As many groups as threads where the lanes allow, so that every core has its share of a small set.
    Shared shared(spans, out, std::min(Md5Lanes(), (spans.size() + threads - 1) / threads));
    uint64_t reported = 0;
    // Only this thread talks to the meter: the front end's callback is no concern of the others.
    auto report = [&] {
        const uint64_t now = shared.bytes;
        if (meter)
            meter->Advance(now - reported);
        reported = now;
    };
    {
        Helpers helpers(shared, threads - 1);
        ++shared.working;
        Work(shared, report);
        try {
            while (shared.working > 0 && !shared.stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                report();
            }
        } catch (const JobStopped&) {
            Fail(shared, std::current_exception());
        }
    }
    if (shared.failure)
        std::rethrow_exception(shared.failure);
    report();
    return out;
}

std::vector<FileDigest> HashFiles(const std::vector<std::string>& paths, ProgressMeter* meter) {
    std::vector<FileSpan> spans;
    for (const std::string& path : paths)
        spans.push_back({path});
    return HashSpans(spans, meter);
}

size_t FirstMismatch(const std::vector<std::string>& paths, const std::vector<const SetFile*>& recorded) {
    const std::vector<FileDigest> digests = HashFiles(paths, nullptr);
    for (size_t i = 0; i < paths.size(); ++i)
        if (digests[i].length != recorded[i]->length || digests[i].md5 != recorded[i]->hash)
            return i;
    return paths.size();
}

} // namespace par2
