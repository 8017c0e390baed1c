// What a join checks before it writes: a whole set, one name per number, and an existing file kept
// unless the user agrees to replace it.
#include <gtest/gtest.h>

#include <filesystem>

#include "cat/cat_files.h"
#include "cat/piece_discovery.h"
#include "split_set_writer.h"
#include "tests/support/recording_messenger.h"

namespace {

CatResult JoinDiscovered(const TempDir& dir, RecordingMessenger& messenger) {
    RecordingMessenger quiet;
    CatJob job;
    if (const auto pieces = DiscoverPieces(dir.File("_Split#000"), quiet))
        for (const auto& p : *pieces)
            job.paths.push_back(p.path);
    return CatFiles(job, messenger);
}

} // namespace

TEST(JoinChecks, ExistingOutputIsReplacedOnlyAfterYes) {
    TempDir dir;
    const std::string data = TestBytes(5000, 21);
    const auto names = WriteSet(dir, "thesis.doc", data, 2000);
    std::string damaged = dir.Read(names[1]);
    damaged[3] = static_cast<char>(damaged[3] ^ 1);
    dir.Write(names[1], damaged);
    dir.Write("thesis.doc", "the only copy");
    dir.Enter();

    RecordingMessenger no;
    EXPECT_FALSE(JoinDiscovered(dir, no).written);
    const std::string question =
        "The file " + dir.File("thesis.doc") + " already exists.\nThe catenated file will replace it.\n\nReplace it?";
    EXPECT_EQ((std::vector<ShownMessage>{{question, Icon::Exclamation, Buttons::YesNo}}), no.shown);
    EXPECT_EQ("the only copy", dir.Read("thesis.doc")) << "No must leave the file as it was";

    dir.Write(names[1], data.substr(2000 - HeaderFor(data, "thesis.doc").size(), 2000));
    RecordingMessenger yes;
    yes.answers = {Answer::Yes};
    EXPECT_TRUE(JoinDiscovered(dir, yes).written);
    EXPECT_TRUE(dir.Read("thesis.doc") == data);
}

TEST(JoinChecks, AGapOrTwoNamesForOneNumberWriteNothing) {
    TempDir dir;
    const std::string data = TestBytes(9000, 22);
    WriteSet(dir, "gap.bin", data, 2000);
    dir.Write("_Split#bak001", "a backup, no piece");
    std::filesystem::remove(dir.Native("_Split#003"));
    dir.Enter();

    RecordingMessenger gap;
    EXPECT_FALSE(JoinDiscovered(dir, gap).written);
    EXPECT_EQ((std::vector<ShownMessage>{{"_Split#003 is missing: the set cannot be catenated without it.\n"
                                          "Nothing was written.",
                                          Icon::Hand, Buttons::Ok}}),
              gap.shown);
    EXPECT_FALSE(dir.Exists("gap.bin"));

    dir.Write("_Split#003", "x");
    dir.Write("_SPLIT#002", "another 2");
    RecordingMessenger twice;
    EXPECT_FALSE(JoinDiscovered(dir, twice).written);
    ASSERT_EQ(1u, twice.shown.size());
    EXPECT_EQ("Two split files carry the same number:\n_SPLIT#002\n_Split#002\nNothing was written.",
              twice.shown[0].text);
    EXPECT_FALSE(dir.Exists("gap.bin"));
}
