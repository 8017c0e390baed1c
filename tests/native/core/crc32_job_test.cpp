// A file's CRC-32 as a long job: the value, its progress, a stop, a failure.
#include <gtest/gtest.h>

#include "core/crc32.h"
#include "core/crc32_job.h"
#include "tests/support/temp_dir.h"

TEST(Crc32Job, MeasuresWithProgressAndEndsEachWayItCan) {
    TempDir dir;
    const std::string data = TestBytes(3 << 20, 9);
    dir.Write("big.bin", data);
    Crc32 expected;
    expected.Update(data.data(), static_cast<uint32_t>(data.size()), true);

    uint64_t lastDone = 0, atTotal = 0;
    const CrcJobResult done = MeasureFileCrc(dir.File("big.bin"), [&](uint64_t d, uint64_t total) {
        EXPECT_GE(d, lastDone);
        lastDone = d;
        atTotal += d == total;
        return true;
    });
    EXPECT_EQ(done.end, CrcJobEnd::Done);
    EXPECT_EQ(done.crc, expected.Value());
    EXPECT_EQ(lastDone, data.size());
    EXPECT_EQ(atTotal, 1u);

    const CrcJobResult stopped = MeasureFileCrc(dir.File("big.bin"), [](uint64_t, uint64_t) { return false; });
    EXPECT_EQ(stopped.end, CrcJobEnd::Stopped);

    const CrcJobResult failed = MeasureFileCrc(dir.File("missing.bin"), {});
    EXPECT_EQ(failed.end, CrcJobEnd::Failed);
    EXPECT_NE(failed.failure.find("missing.bin"), std::string::npos) << failed.failure;
}
