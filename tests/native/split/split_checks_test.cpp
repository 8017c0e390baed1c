// The names a header records: the split refuses what a reader would refuse, and a reader takes
// back every name the split records.
#include <gtest/gtest.h>

#include <filesystem>

#include "split/split_request.h"
#include "split_test_support.h"

TEST(RecordedNames, EveryNameTheSplitAcceptsIsReadBack) {
    const char* const typed[] = {"C:/data/big.iso", "sub/big.bin",  "C:big.iso", "D:\\x\\a;b.txt", "big",
                                 "CON.txt",         "x\\trailing.", "x/blank ",  "LPT\xb9",        "del\x7f",
                                 "ok\xe4.bin",      "we#ird",       "C:\\dir\\"};
    for (const char* large : typed) {
        SCOPED_TRACE(large);
        const std::string header = BuildPieceHeader("1A2B", large);
        PieceHeader h;
        const HeaderStatus status = ReadPieceHeader(reinterpret_cast<const uint8_t*>(header.data()), header.size(), &h);
        SplitJob job;
        job.largeFile = large;
        job.splitSize = 1 << 20;
        const std::optional<Outcome> refusal = CheckSplitLayout(job, 1);
        if (refusal && refusal->Kind() == OutcomeKind::NameUnrecordable) {
            EXPECT_NE(status, HeaderStatus::Ok) << "refused by the split, so no reader may take it";
        } else {
            ASSERT_EQ(status, HeaderStatus::Ok) << "accepted by the split, so every reader must take it";
        }
        if (status == HeaderStatus::Ok) {
            EXPECT_EQ(std::string(h.name, h.nameLen), RecordedName(large));
        }
    }
}

using SplitNames = SplitFolder;

TEST_F(SplitNames, TypedPathIsRecordedByItsLastPartAndADeviceNameIsRefusedBeforeWriting) {
    std::filesystem::create_directory(dir.Native("sub"));
    const std::string data = TestBytes(2500);
    dir.Write("sub/big.bin", data);
    SplitJob job;
    job.largeFile = "sub\\big.bin";
    job.splitSize = 1000;
    RecordingMessenger messenger;
    ASSERT_EQ(SplitLargeFile(job, messenger).end, SplitEnd::Done);
    EXPECT_EQ(dir.Read("_Split#000").substr(0, 9 + CrcTextOf(data).size()), CrcTextOf(data) + "#big.bin;");

    RemovePieces();
    SplitRun device = RunSplit(dir, "con.txt", data, 1000, true);
    EXPECT_EQ(device.result.end, SplitEnd::Refused);
    ASSERT_EQ(device.messenger.told.size(), 1u);
    EXPECT_EQ(device.messenger.told[0].Kind(), OutcomeKind::NameUnrecordable);
    EXPECT_EQ(device.messenger.told[0].As<told::NameUnrecordable>().name, "con.txt");
    EXPECT_FALSE(dir.Exists("_Split#000"));
    EXPECT_EQ(RunSplit(dir, "con.txt", data, 1000, false).result.end, SplitEnd::Done) << "Without CRC records no name";
}
