// Surveying a set from any piece, the CRC of its joined data without writing, and the header join of a
// self-catenating set.
#include <gtest/gtest.h>

#include "cat/cat_files.h"
#include "cat/joined_crc.h"
#include "cat/set_survey.h"
#include "core/stub_image.h"
#include "split_set_writer.h"
#include "tests/support/recording_messenger.h"

namespace {

// A self-catenating set: a stand-in image of the real size, then header and data.
std::string WriteSelfCatenatingSet(const TempDir& dir, const std::string& name, const std::string& data,
                                   size_t splitSize) {
    const std::string image(kStubImageSize, 'M');
    const auto names = WritePieces(dir, image + HeaderFor(data, name), data, splitSize);
    std::filesystem::rename(dir.Native(names[0]), dir.Native("_Split#000.exe"));
    return image;
}

} // namespace

TEST(SetSurvey, FromALaterPieceNamesTheGapsAndChecksTheDataWithoutWriting) {
    TempDir dir;
    const std::string data = TestBytes(10000, 3);
    const auto names = WriteSet(dir, "data.bin", data, 2048);
    ASSERT_EQ(5u, names.size());
    RecordingMessenger messenger;

    const auto whole = SurveySet(dir.File("_Split#003"), messenger);
    ASSERT_TRUE(whole);
    EXPECT_EQ(SetHeader::Recorded, whole->header);
    EXPECT_EQ("data.bin", whole->recordedName);
    EXPECT_EQ(data.size(), whole->JoinedSize());
    const CrcJobResult crc = CrcOfJoinedData(*whole);
    ASSERT_EQ(CrcJobEnd::Done, crc.end);
    EXPECT_EQ(CrcText(CrcOf(data)), CrcText(crc.crc));
    EXPECT_EQ(data.size(), crc.bytes);
    EXPECT_FALSE(dir.Exists("data.bin")) << "a check writes nothing";

    int calls = 0;
    EXPECT_EQ(CrcJobEnd::Stopped, CrcOfJoinedData(*whole, [&](uint64_t, uint64_t) { return ++calls < 2; }).end)
        << "a progress answer of false stops the reading";

    std::filesystem::remove(dir.Native("_Split#002"));
    const auto gap = SurveySet(dir.File("_Split#004"), messenger);
    ASSERT_TRUE(gap);
    EXPECT_EQ(std::vector<int>{2}, gap->missing);
    EXPECT_TRUE(messenger.told.empty() && messenger.shown.empty());
}

TEST(SetSurvey, WithoutHeaderTheDataStartsAtByteZero) {
    TempDir dir;
    const std::string data = "GIF89a#not;a header" + TestBytes(3000, 5);
    WritePieces(dir, "", data, 1000);
    RecordingMessenger messenger;
    const auto set = SurveySet(dir.File("_Split#000"), messenger);
    ASSERT_TRUE(set);
    EXPECT_EQ(SetHeader::None, set->header) << "a header begins with the CRC in \"%X\" text";
    EXPECT_EQ(data.size(), set->JoinedSize());
}

TEST(SetSurvey, RefusesWhatIsNoPieceAndAmbiguousFirstPieces) {
    TempDir dir;
    WriteSelfCatenatingSet(dir, "b.bin", TestBytes(3000, 2), 50000);
    WriteSet(dir, "a.bin", TestBytes(3000, 1), 1000);
    dir.Write("notes.txt", "x");
    RecordingMessenger messenger;
    EXPECT_FALSE(SurveySet(dir.File("notes.txt"), messenger));
    EXPECT_FALSE(SurveySet(dir.File("_Split#001"), messenger)) << "two first pieces, and a later piece named";
    EXPECT_EQ((std::vector<OutcomeKind>{OutcomeKind::NotAPiece, OutcomeKind::TwoFirstPieces}), messenger.Kinds());
    EXPECT_EQ(dir.File("notes.txt"), messenger.told[0].As<told::NotAPiece>().path);
    EXPECT_EQ(dir.Path(), messenger.told[1].As<told::TwoFirstPieces>().folder);
    const auto named = SurveySet(dir.File("_Split#000.exe"), messenger);
    ASSERT_TRUE(named);
    EXPECT_TRUE(named->selfCatenating);
}

TEST(SelfCatenatingSet, IsSurveyedAndHeaderJoinedBehindTheImage) {
    TempDir dir;
    const std::string data = TestBytes(120000, 9);
    const std::string image = WriteSelfCatenatingSet(dir, "movie.avi", data, 60000);
    RecordingMessenger messenger;
    const auto set = SurveySet(dir.File("_Split#002"), messenger);
    ASSERT_TRUE(set);
    EXPECT_TRUE(set->selfCatenating);
    EXPECT_EQ("movie.avi", set->recordedName);
    EXPECT_EQ(kStubImageSize + HeaderFor(data, "movie.avi").size(), set->dataStart);
    EXPECT_EQ(data.size(), set->JoinedSize());

    dir.Enter();
    CatJob job;
    for (const auto& piece : set->pieces)
        job.paths.push_back(piece.path);
    const CatResult result = CatFiles(job, messenger);
    EXPECT_TRUE(result.headerJoin);
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(dir.Read("movie.avi") == data) << "rejoined bytes differ";
}
