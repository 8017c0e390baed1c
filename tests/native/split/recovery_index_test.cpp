// catstub's reading of the recovery index a split writes, without allocation: the slice checks
// name the damaged piece, and an index that is damaged or of something else is not used at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/recovery_index.h"
#include "core/slice_check.h"
#include "core/small_md5.h"
#include "recovery/md5.h"
#include "recovery/recovery_writer.h"
#include "split_test_support.h"
#include "tests/support/recovery_set_writer.h"

namespace {

class RecoveryIndexTest : public SplitFolder {
protected:
    // A self-catenating set of 6 pieces with recovery files for 2 of them.
    void SetUp() override {
        SplitFolder::SetUp();
        dir.Write("big.bin", TestBytes(50000, 5));
        RecoveryWriter writer(dir.File("big.bin"), 10000, RecoveryRequest{false, 2}, kDefaultRecoveryMemory);
        const std::string stub = FakeStubImage(3000);
        SplitJob job;
        job.largeFile = dir.File("big.bin");
        job.splitSize = 10000;
        job.stubImage = reinterpret_cast<const uint8_t*>(stub.data());
        job.stubSize = stub.size();
        job.observer = &writer;
        RecordingMessenger messenger;
        ASSERT_EQ(SplitLargeFile(job, messenger).end, SplitEnd::Done);
        index = dir.Read(kIndexFileName);
    }

    // Fed in uneven blocks, as a file is read.
    bool Read(const std::string& bytes) {
        reader = std::make_unique<RecoveryIndexReader>();
        for (size_t at = 0; at < bytes.size(); at += 777)
            reader->Feed(reinterpret_cast<const uint8_t*>(bytes.data()) + at, std::min<size_t>(777, bytes.size() - at));
        return reader->Finish();
    }

    SliceVerdict Check(int n, const std::string& bytes) {
        SliceCheck check(&reader->Index(), n);
        check.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        return check.Finish();
    }

    std::string index;
    std::unique_ptr<RecoveryIndexReader> reader;
};

TEST_F(RecoveryIndexTest, NamesThePieceWithADamagedSliceAndOneOfTheWrongSize) {
    ASSERT_TRUE(Read(index));
    ASSERT_EQ(reader->Index().pieces, 6);
    const std::string first = dir.Read(kSelfCatenatingName);
    EXPECT_EQ(first.size(), reader->Index().piece[0].length); // catstub image and header included
    EXPECT_EQ(Check(0, first), SliceVerdict::Intact);
    for (int n = 1; n < 6; ++n)
        EXPECT_EQ(Check(n, dir.Read(PieceName(n))), SliceVerdict::Intact) << n;

    std::string damaged = dir.Read(PieceName(5));
    ASSERT_NE(damaged.size() % reader->Index().sliceSize, 0u);
    damaged[damaged.size() - 1] ^= 0x10; // in the short last piece's zero-padded slice
    EXPECT_EQ(Check(5, damaged), SliceVerdict::Damaged);
    EXPECT_EQ(Check(2, dir.Read(PieceName(2)).substr(1)), SliceVerdict::WrongSize);
    EXPECT_EQ(Check(5, dir.Read(PieceName(5)) + "x"), SliceVerdict::WrongSize);
    // Without an index nothing is checked.
    SliceCheck none(nullptr, 5);
    none.Feed(reinterpret_cast<const uint8_t*>(damaged.data()), damaged.size());
    EXPECT_EQ(none.Finish(), SliceVerdict::Intact);
}

TEST_F(RecoveryIndexTest, GivesWhatARebuildNeedsBadSlicesTheirInputNumbersAndEachPiecesMd5) {
    ASSERT_TRUE(Read(index));
    const RecoveryIndex& ix = reader->Index();
    EXPECT_TRUE(ix.onlyPieces);
    // The pieces' input slices, in the main packet's order, follow each other from 0 without a gap.
    std::vector<std::pair<uint32_t, uint32_t>> inputs;
    for (int n = 0; n < 6; ++n) {
        const std::string bytes = n == 0 ? dir.Read(kSelfCatenatingName) : dir.Read(PieceName(n));
        const Md5Digest md5 = Md5Of(bytes.data(), bytes.size());
        EXPECT_TRUE(std::equal(md5.begin(), md5.end(), ix.piece[n].hash)) << n;
        inputs.push_back({ix.piece[n].input, ix.piece[n].slices});
    }
    std::sort(inputs.begin(), inputs.end());
    uint32_t next = 0;
    for (const auto& [first, slices] : inputs) {
        EXPECT_EQ(next, first);
        next = first + slices;
    }
    // A piece cut short by a byte: only its last slice is bad; a sound piece has none.
    const uint32_t slices = ix.piece[2].slices;
    ASSERT_GT(slices, 1u);
    std::unique_ptr<bool[]> bad(new bool[slices]);
    const std::string two = dir.Read(PieceName(2));
    SliceCheck cut(&ix, 2, bad.get());
    cut.Feed(reinterpret_cast<const uint8_t*>(two.data()), two.size() - 1);
    EXPECT_EQ(SliceVerdict::WrongSize, cut.Finish());
    for (uint32_t i = 0; i < slices; ++i)
        EXPECT_EQ(i + 1 == slices, bad[i]) << "slice " << i;
    SliceCheck whole(&ix, 2, bad.get());
    whole.Feed(reinterpret_cast<const uint8_t*>(two.data()), two.size());
    EXPECT_EQ(SliceVerdict::Intact, whole.Finish());
    for (uint32_t i = 0; i < slices; ++i)
        EXPECT_FALSE(bad[i]) << "slice " << i;
}

TEST_F(RecoveryIndexTest, IgnoresAnIndexThatIsDamagedCutOrOfAnotherSet) {
    std::string damaged = index;
    damaged[200] ^= 1;
    EXPECT_FALSE(Read(damaged));
    EXPECT_FALSE(Read(index.substr(0, index.size() - 4)));
    EXPECT_FALSE(Read(index.substr(0, index.size() / 2)));
    EXPECT_FALSE(Read("not a recovery file at all, but long enough to hold a packet header or two of it"));

    // Packets of two sets in one file.
    const std::string other = index;
    RemovePieces();
    dir.Write("big.bin", TestBytes(30000, 6));
    RecoveryWriter writer(dir.File("big.bin"), 10000, RecoveryRequest{false, 1}, kDefaultRecoveryMemory);
    SplitJob job;
    job.largeFile = dir.File("big.bin");
    job.splitSize = 10000;
    job.observer = &writer;
    RecordingMessenger messenger;
    ASSERT_EQ(SplitLargeFile(job, messenger).end, SplitEnd::Done);
    ASSERT_TRUE(Read(dir.Read(kIndexFileName)));
    EXPECT_FALSE(Read(other + dir.Read(kIndexFileName)));

    // Another program's index over "_Split#*": a stray file in it is passed over, a gap is not.
    dir.Write("_Split#notes.txt", "not a piece");
    WriteRecoveryFile(dir.Native("").string(), {"_Split#000", "_Split#001", "_Split#002", "_Split#notes.txt"}, 4000,
                      {});
    ASSERT_TRUE(Read(dir.Read(kIndexFileName)));
    EXPECT_EQ(reader->Index().pieces, 3);
    WriteRecoveryFile(dir.Native("").string(), {"_Split#000", "_Split#002"}, 4000, {});
    EXPECT_FALSE(Read(dir.Read(kIndexFileName)));
}

TEST(SmallMd5, AgreesWithThePlatformHashAcrossItsPaddingBoundaries) {
    const std::string bytes = TestBytes(1000, 8);
    for (size_t len : {0, 1, 55, 56, 63, 64, 65, 119, 120, 1000}) {
        SmallMd5 small;
        // In two parts, so that buffered and whole blocks meet.
        small.Update(reinterpret_cast<const uint8_t*>(bytes.data()), len / 3);
        small.Update(reinterpret_cast<const uint8_t*>(bytes.data()) + len / 3, len - len / 3);
        Md5Digest digest;
        small.Final(digest.data());
        EXPECT_EQ(digest, Md5Of(bytes.data(), len)) << len;
    }
}

} // namespace
