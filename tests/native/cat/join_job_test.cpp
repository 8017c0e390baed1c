// Both joins as long jobs: progress over the bytes joined, a stop part way,
// and the output that has its real name only once every byte is in.
#include <gtest/gtest.h>

#include <filesystem>

#include "cat/cat_files.h"
#include "split_set_writer.h"
#include "tests/support/recording_messenger.h"

namespace {

struct Progress {
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    uint64_t stopAt = UINT64_MAX;
    ProgressCallback Callback() {
        return [this](uint64_t done, uint64_t total) {
            calls.emplace_back(done, total);
            return done < stopAt;
        };
    }
};

bool OnlyInputsLeft(const TempDir& dir, size_t inputs) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Native("")))
        ++n;
    return n == inputs;
}

} // namespace

TEST(JoinJob, HeaderJoinProgressRisesToTheDataSizeAndReachesItOnce) {
    TempDir dir;
    const std::string data = TestBytes(5 << 20, 3);
    CatJob job;
    job.paths = PathsIn(dir, WriteSet(dir, "big.bin", data, 2 << 20));
    dir.Enter();
    Progress progress;
    job.onProgress = progress.Callback();
    RecordingMessenger messenger;
    const CatResult r = CatFiles(job, messenger);
    EXPECT_TRUE(r.written);
    EXPECT_TRUE(dir.Read("big.bin") == data);
    ASSERT_GE(progress.calls.size(), 5u);
    int atTotal = 0;
    for (size_t i = 0; i < progress.calls.size(); ++i) {
        EXPECT_EQ(progress.calls[i].second, data.size()) << "the header is not part of the total";
        if (i > 0) {
            EXPECT_GE(progress.calls[i].first, progress.calls[i - 1].first);
        }
        atTotal += progress.calls[i].first == progress.calls[i].second;
    }
    EXPECT_EQ(atTotal, 1);
    EXPECT_EQ(progress.calls.back().first, data.size());
    EXPECT_FALSE(dir.Exists("big.bin.partial"));
}

TEST(JoinJob, StopLeavesOnlyTheInputsAndSaysSo) {
    TempDir dir;
    const std::vector<std::string> pieces = WriteSet(dir, "big.bin", TestBytes(6 << 20, 4), 2 << 20);
    dir.Enter();
    for (const bool explicitSelection : {false, true}) {
        CatJob job;
        job.paths = PathsIn(dir, pieces);
        job.explicitSelection = explicitSelection;
        job.drawNumber = [] { return 7; };
        Progress progress;
        progress.stopAt = 3 << 20;
        job.onProgress = progress.Callback();
        RecordingMessenger messenger;
        const CatResult r = CatFiles(job, messenger);
        EXPECT_TRUE(r.stopped);
        EXPECT_FALSE(r.written);
        EXPECT_TRUE(OnlyInputsLeft(dir, pieces.size())) << "explicit selection: " << explicitSelection;
        const std::string partial = explicitSelection ? "File7.partial" : "big.bin.partial";
        ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::CatStopped});
        const told::Unfinished& left = messenger.told[0].As<told::CatStopped>().unfinished;
        EXPECT_EQ(left.path, dir.File(partial));
        EXPECT_FALSE(left.undeleted) << "it was deleted";
    }
}

TEST(JoinJob, HeaderJoinWritesUnderATemporaryNameAndNeverOverAnotherJoinsOne) {
    TempDir dir;
    CatJob job;
    job.paths = PathsIn(dir, WriteSet(dir, "big.bin", TestBytes(3000, 5), 1000));
    dir.Write("big.bin.partial", "another join's output");
    dir.Enter();
    RecordingMessenger messenger;
    const CatResult r = CatFiles(job, messenger);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(dir.Read("big.bin.partial"), "another join's output") << "created new, never replaced";
    EXPECT_FALSE(dir.Exists("big.bin"));
    ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::CatFileError});
    const auto& failed = messenger.told[0].As<told::CatFileError>();
    EXPECT_EQ(failed.reason, dir.File("big.bin.partial") + " already exists.");
    EXPECT_EQ(failed.unfinished.path, "") << "no unfinished output of its own";
}
