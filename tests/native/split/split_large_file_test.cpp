// A file past 4 GiB: sizes and offsets need all 64 bits. The file is sparse and
// lies in memory where it can (reading the holes of a sparse file on disk makes
// the kernel clear 4 GiB of cache pages). The two full pieces are pipes read by
// the test, which counts their bytes and keeps a few samples: writing 4 GiB to
// disk would take this test many seconds.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <thread>

#include "split_test_support.h"

namespace {

constexpr uint64_t k4GiB = uint64_t{1} << 32;

struct Mark {
    uint64_t offset;
    char byte;
};

// A sparse file of the given size holding the marks, removed again at the end.
class SparseFile {
public:
    SparseFile(const TempDir& dir, const std::vector<Mark>& marks, uint64_t size) {
        std::error_code ec;
        path_ = std::filesystem::is_directory("/dev/shm", ec)
                    ? std::filesystem::path("/dev/shm") / ("fendrik-split-" + std::to_string(::getpid()) + ".bin")
                    : dir.Native("huge.bin");
        Make(marks, size);
    }
    ~SparseFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    SparseFile(const SparseFile&) = delete;
    SparseFile& operator=(const SparseFile&) = delete;
    std::string Path() const { return PortablePath(path_.string()); }

private:
    void Make(const std::vector<Mark>& marks, uint64_t size) {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << path_;
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
        for (const Mark& m : marks)
            ASSERT_EQ(::pwrite(fd, &m.byte, 1, static_cast<off_t>(m.offset)), 1) << "at " << m.offset;
        ::close(fd);
    }
    std::filesystem::path path_;
};

// A piece that is a named pipe: a thread drains it, counting the bytes and
// keeping those at the wanted offsets. It holds the pipe open for writing too,
// so that it never sees an end: it stops after a quiet quarter second once the expected
// count has arrived (a longer quiet spell before that means the split failed).
class PieceTap {
public:
    PieceTap(const std::filesystem::path& path, uint64_t expected, std::vector<uint64_t> wanted) : expected_(expected) {
        for (uint64_t offset : wanted)
            samples_[offset] = '?';
        if (::mkfifo(path.c_str(), 0644) == 0)
            fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd_ >= 0) {
            // A pipe as large as a write block halves the hand-overs between the two sides.
            ::fcntl(fd_, F_SETPIPE_SZ, 1 << 20);
            reader_ = std::thread([this] { Drain(); });
        }
    }
    ~PieceTap() {
        if (reader_.joinable())
            reader_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    PieceTap(const PieceTap&) = delete;
    PieceTap& operator=(const PieceTap&) = delete;

    bool Ok() const { return fd_ >= 0; }
    // Waits for the reader; then the count and samples are final.
    void Finish() {
        if (reader_.joinable())
            reader_.join();
    }
    uint64_t Count() const { return count_; }
    char Sample(uint64_t offset) const { return samples_.at(offset); }

private:
    void Drain() {
        std::vector<char> buffer(1 << 20);
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, count_ >= expected_ ? 250 : 60000) <= 0)
                return;
            const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
            if (got <= 0)
                continue;
            for (auto it = samples_.lower_bound(count_); it != samples_.end() && it->first < count_ + got; ++it)
                it->second = buffer[it->first - count_];
            count_ += static_cast<uint64_t>(got);
        }
    }

    uint64_t expected_;
    uint64_t count_ = 0;
    std::map<uint64_t, char> samples_;
    int fd_ = -1;
    std::thread reader_;
};

} // namespace

using SplitLargeFileTest = SplitFolder;

TEST_F(SplitLargeFileTest, SparseFileOverFourGiB) {
    const uint64_t size = k4GiB + 100000;
    const uint64_t split = (uint64_t{1} << 31) + 12345; // over 2 GiB: no 32-bit count fits
    const std::vector<Mark> marks = {
        {0, 'a'}, {split - 1, 'b'}, {split, 'c'}, {k4GiB - 1, 'd'}, {k4GiB, 'e'}, {2 * split, 'g'}, {size - 1, 'f'},
    };
    const SparseFile huge(dir, marks, size);
    std::vector<uint64_t> wanted[2];
    for (const Mark& m : marks)
        if (m.offset < 2 * split)
            wanted[m.offset / split].push_back(m.offset % split);
    PieceTap first(dir.Native("_Split#000"), split, wanted[0]);
    PieceTap second(dir.Native("_Split#001"), split, wanted[1]);
    ASSERT_TRUE(first.Ok() && second.Ok()) << "cannot make the pipes";

    SplitJob job;
    job.largeFile = huge.Path();
    job.splitSize = static_cast<int64_t>(split);
    job.withoutCrc = true;
    RecordingMessenger messenger;
    const SplitResult result = SplitLargeFile(job, messenger);
    first.Finish();
    second.Finish();

    EXPECT_EQ(result.end, SplitEnd::Done);
    EXPECT_EQ(result.piecesWritten, 3);
    EXPECT_TRUE(messenger.told.empty());
    EXPECT_EQ(first.Count(), split) << "bytes written to _Split#000";
    EXPECT_EQ(second.Count(), split) << "bytes written to _Split#001";
    const std::string last = dir.Read("_Split#002");
    ASSERT_EQ(last.size(), size - 2 * split);
    for (const Mark& m : marks) {
        const uint64_t piece = m.offset / split;
        const uint64_t at = m.offset % split;
        const char got = piece == 0 ? first.Sample(at) : piece == 1 ? second.Sample(at) : last[at];
        EXPECT_EQ(got, m.byte) << "file offset " << m.offset << ", piece " << piece << " offset " << at;
    }
    const std::vector<FoundFile> listed = PiecesBeside(dir.File("huge.bin")); // the pieces' folder
    EXPECT_NE(std::find_if(listed.begin(), listed.end(),
                           [&](const FoundFile& f) { return f.name == "_Split#002" && f.size == last.size(); }),
              listed.end())
        << "the list shows the last piece";
}
