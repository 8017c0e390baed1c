// The piece limit, file errors, a large file that changes under the split, and
// a large file that is itself one of the pieces to be written.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file.h"

#include "split_test_support.h"

using SplitLimit = SplitFolder;

TEST_F(SplitLimit, ExactlyAThousandPiecesAreWritten) {
    const std::string data = TestBytes(10000);
    SplitRun run = RunSplit(dir, "big.bin", data, 10, false);
    EXPECT_EQ(run.result.end, SplitEnd::Done);
    EXPECT_EQ(run.result.piecesWritten, 1000);
    EXPECT_TRUE(run.messenger.told.empty());
    EXPECT_EQ(dir.Read("_Split#999"), data.substr(9990));
    EXPECT_FALSE(dir.Exists("_Split#1000"));

    RemovePieces();
    const std::string headed = TestBytes(1000 * 20 - 17);
    SplitRun full = RunSplit(dir, NameForHeaderLength(CrcTextOf(headed), 17), headed, 20, true);
    EXPECT_EQ(full.result.end, SplitEnd::Done) << "header and data fill exactly 1000 pieces";
    EXPECT_EQ(dir.Read("_Split#999").size(), 20u);
}

TEST_F(SplitLimit, MoreThanAThousandPiecesAreRefusedBeforeWriting) {
    SplitRun run = RunSplit(dir, "big.bin", TestBytes(10001), 10, false);
    EXPECT_EQ(run.result.end, SplitEnd::TooManyPieces);
    EXPECT_EQ(run.result.piecesWritten, 0);
    ASSERT_EQ(run.messenger.told.size(), 1u);
    EXPECT_EQ(run.messenger.told[0].Kind(), OutcomeKind::TooManyPieces);
    EXPECT_FALSE(dir.Exists("_Split#000")) << "nothing is written";

    // The header alone can tip the count over the limit.
    const std::string data = TestBytes(1000 * 20 - 17 + 1);
    SplitRun headed = RunSplit(dir, NameForHeaderLength(CrcTextOf(data), 17), data, 20, true);
    EXPECT_EQ(headed.result.end, SplitEnd::TooManyPieces);
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

using SplitFileErrors = SplitFolder;

TEST_F(SplitFileErrors, FolderInTheWayOfAPieceEndsTheSplitAndItsPiecesGo) {
    std::filesystem::create_directory(dir.Native("_Split#001"));
    const std::string data = TestBytes(2500);
    SplitRun run = RunSplit(dir, "big.bin", data, 1000, true);
    EXPECT_EQ(run.result.end, SplitEnd::FileError);
    EXPECT_EQ(run.result.piecesWritten, 0);
    EXPECT_TRUE(run.messenger.shown.empty());
    ASSERT_EQ(run.messenger.told.size(), 1u);
    EXPECT_EQ(run.messenger.told[0].Kind(), OutcomeKind::SplitFailedCleanedUp);
    const auto& failed = run.messenger.told[0].As<told::SplitFailedCleanedUp>();
    EXPECT_EQ(failed.reason, FileException::FromOsError(EISDIR, "_Split#001").Description())
        << "the description names the cause and the piece";
    EXPECT_EQ(failed.piecesDeleted, 1u);
    EXPECT_FALSE(dir.Exists("_Split#000")) << "no first piece with the placeholder CRC stays";
}

TEST_F(SplitFileErrors, MemoryRunningOutPartWayEndsTheSplitAndItsPiecesGo) {
    // A listener that runs short of memory once the pieces are under way, as the recovery files' can.
    struct Starved : SplitObserver {
        size_t seen = 0;
        bool discarded = false;
        void Begin(const std::vector<PlannedPiece>&) override {}
        void Written(uint32_t, const uint8_t*, size_t len) override {
            if ((seen += len) > 1500)
                throw std::bad_alloc();
        }
        void Complete(ProgressMeter&) override {}
        void Discard() override { discarded = true; }
    } starved;
    dir.Write("big.bin", TestBytes(2500));
    RecordingMessenger messenger;
    SplitJob job;
    job.largeFile = dir.File("big.bin");
    job.splitSize = 1000;
    job.crcText = CrcTextOf(TestBytes(2500));
    job.observer = &starved;
    EXPECT_EQ(SplitLargeFile(job, messenger).end, SplitEnd::FileError);
    ASSERT_EQ(messenger.told.size(), 1u);
    EXPECT_EQ(messenger.told[0].Kind(), OutcomeKind::SplitFailedCleanedUp);
    EXPECT_EQ(messenger.told[0].As<told::SplitFailedCleanedUp>().reason, "There was not enough memory to go on.");
    EXPECT_TRUE(starved.discarded);
    EXPECT_FALSE(dir.Exists("_Split#000"));
    EXPECT_FALSE(dir.Exists("_Split#001"));
}

TEST_F(SplitFileErrors, MissingLargeFileWritesNothing) {
    RecordingMessenger messenger;
    SplitJob job;
    job.largeFile = dir.File("gone.bin");
    job.splitSize = 1000;
    job.crcText = "1234";
    const SplitResult result = SplitLargeFile(job, messenger);
    EXPECT_EQ(result.end, SplitEnd::FileError);
    ASSERT_EQ(messenger.told.size(), 1u);
    EXPECT_EQ(messenger.told[0].Kind(), OutcomeKind::SplitFileError);
    EXPECT_EQ(messenger.told[0].As<told::SplitFileError>().reason,
              FileException::FromOsError(ENOENT, job.largeFile).Description());
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

TEST_F(SplitFileErrors, FullDiskIsReported) {
    // A piece that lands on a device that is always full.
    std::filesystem::create_symlink("/dev/full", dir.Native("_Split#000"));
    SplitRun run = RunSplit(dir, "big.bin", TestBytes(2500), 1000, true);
    EXPECT_EQ(run.result.end, SplitEnd::FileError);
    ASSERT_EQ(run.messenger.told.size(), 1u);
    ASSERT_EQ(run.messenger.told[0].Kind(), OutcomeKind::SplitFailedCleanedUp);
    EXPECT_EQ(run.messenger.told[0].As<told::SplitFailedCleanedUp>().reason,
              FileException(FileCause::DiskFull, ENOSPC, "_Split#000").Description());
    EXPECT_FALSE(dir.Exists("_Split#001")) << "the split stops at the first failed write";
}

TEST_F(SplitFileErrors, AFileSizeLimitPartWayDeletesThePiecesWritten) {
    // RLIMIT_FSIZE stops the second piece; with SIGXFSZ ignored the write fails with EFBIG.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1500, 1500};
        setrlimit(RLIMIT_FSIZE, &limit);
        SplitRun run = RunSplit(dir, "big.bin", TestBytes(2500), 2000, true);
        const bool clean = run.result.end == SplitEnd::FileError && !dir.Exists("_Split#000") &&
                           !dir.Exists("_Split#001") && run.messenger.told.size() == 1;
        _exit(clean ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "pieces left, or no outcome told";
}

TEST_F(SplitFileErrors, APieceSizeThatCannotHoldTheHeaderAndOneByteIsRefused) {
    const std::string name(40, 'n');
    SplitRun run = RunSplit(dir, name, TestBytes(5000), 20, true);
    EXPECT_EQ(run.result.end, SplitEnd::Refused);
    ASSERT_EQ(run.messenger.told.size(), 1u);
    EXPECT_EQ(run.messenger.told[0].Kind(), OutcomeKind::PieceSizeTooSmall);
    const auto& tooSmall = run.messenger.told[0].As<told::PieceSizeTooSmall>();
    EXPECT_EQ(tooSmall.splitSize, 20u);
    EXPECT_EQ(tooSmall.prefixBytes, 8u + 1 + 40 + 1) << "the longest header: 8 digits, '#', name, ';'";
    EXPECT_FALSE(dir.Exists("_Split#000"));
}

using SplitChangedFile = SplitFolder;

TEST_F(SplitChangedFile, CrcThatNoLongerMatchesIsNotPassedOffAsGood) {
    const std::string data = TestBytes(2500);
    const std::string stale = CrcTextOf(TestBytes(2500, 99)); // measured before the file changed
    SplitRun run = RunSplit(dir, "big.bin", data, 1000, true, nullptr, stale);
    EXPECT_EQ(run.result.end, SplitEnd::ChangedWhileSplitting);
    EXPECT_EQ(run.result.piecesWritten, 0);
    ASSERT_EQ(run.messenger.told.size(), 1u);
    ASSERT_EQ(run.messenger.told[0].Kind(), OutcomeKind::ChangedWhileSplitting);
    const auto& changed = run.messenger.told[0].As<told::ChangedWhileSplitting>();
    EXPECT_EQ(changed.path, dir.File("big.bin"));
    EXPECT_EQ(changed.measuredCrc, stale);
    EXPECT_EQ(changed.copiedCrc, CrcTextOf(data));
    EXPECT_EQ(changed.piecesDeleted, 3u) << "the pieces written, and deleted again";
    EXPECT_TRUE(PiecesIn(dir, false).empty()) << "pieces of another file's set are deleted";
}

using SplitOwnPieces = SplitFolder;

TEST_F(SplitOwnPieces, LargeFileThatIsAPieceInTheFolderIsLeftIntactHoweverItIsSpelled) {
    const std::string data = TestBytes(3000);
    std::filesystem::create_directory(dir.Native("sub"));
    // Spellings that name the same file as the current folder's "_Split#001".
    for (const std::string& spelling : {dir.File("_Split#001"), std::string(".\\_Split#001"),
                                        std::string("sub\\..\\_Split#001"), dir.Path() + "\\\\_Split#001"}) {
        SCOPED_TRACE(spelling);
        dir.Write("_Split#001", data);
        SplitJob job;
        job.largeFile = spelling;
        job.splitSize = 1000;
        job.crcText = CrcTextOf(data);
        RecordingMessenger messenger;
        EXPECT_EQ(SplitLargeFile(job, messenger).end, SplitEnd::WouldOverwriteLargeFile);
        ASSERT_EQ(messenger.told.size(), 1u);
        EXPECT_EQ(messenger.told[0].Kind(), OutcomeKind::LargeFileIsAPiece);
        EXPECT_EQ(dir.Read("_Split#001"), data) << "the large file must not be emptied";
        EXPECT_FALSE(dir.Exists("_Split#000"));
    }
}

TEST_F(SplitChangedFile, AFileThatGrowsWhileItIsReadIsCaughtWithoutARace) {
    const std::string data = TestBytes(6 << 20);
    dir.Write("big.bin", data);
    SplitJob job;
    job.largeFile = dir.File("big.bin");
    job.splitSize = 1 << 21;
    job.withoutCrc = true;
    bool grown = false;
    RecordingMessenger messenger;
    // The reading thread runs ahead while the first block is written: the file grows under it.
    const SplitResult result = SplitLargeFile(job, messenger, [&](uint64_t, uint64_t) {
        if (!grown)
            std::ofstream(dir.Native("big.bin"), std::ios::app | std::ios::binary) << TestBytes(4 << 20, 3);
        grown = true;
        return true;
    });
    EXPECT_EQ(result.end, SplitEnd::ChangedWhileSplitting);
}
