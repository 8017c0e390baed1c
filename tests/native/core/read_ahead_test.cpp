// The reading thread never leaves its consumer waiting: a failed read is thrown where the consumer
// waits, and a stop wakes it, the read that blocks given up.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/progress_meter.h"
#include "core/read_ahead.h"
#include "tests/support/temp_dir.h"

TEST(ReadAhead, AFailedReadOrAStopWakesTheConsumer) {
    ReadBuffers buffers(16);
    {
        ReadAhead failing([](uint8_t*, size_t) -> size_t { throw FileException(FileCause::HardIO, EIO, "disk"); },
                          buffers);
        EXPECT_THROW(failing.Next(), FileException);
    }

    // A pipe with a writer that never writes: the read blocks until it is given up.
    TempDir dir;
    ASSERT_EQ(0, ::mkfifo(dir.Native("pipe").c_str(), 0600));
    const int writer = ::open(dir.Native("pipe").c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    File pipe(dir.File("pipe"), File::Mode::ReadDenyWrite);
    {
        ReadAhead blocked(pipe, buffers);
        int asked = 0;
        EXPECT_THROW(blocked.Next([&asked] { return ++asked == 3; }), JobStopped);
        EXPECT_EQ(3, asked);
    } // returns only when the blocked read has given up
    ::close(writer);
}
