// What a join checks before it writes: a whole set, one name per number, and an existing file kept
// unless the user agrees to replace it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <filesystem>

#ifdef __linux__
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The folder's names, sorted.
std::vector<std::string> NamesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Native("")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A join of dir's set that must refuse before its first byte: nothing but the pieces stays, no byte
// was counted as written, and the one outcome told is kind.
void ExpectRefusedBeforeCopying(const TempDir& dir, CatJob job, OutcomeKind kind) {
    const std::vector<std::string> before = NamesIn(dir);
    uint64_t written = 0;
    job.onProgress = [&](uint64_t done, uint64_t) {
        written = done;
        return true;
    };
    RecordingMessenger messenger;
    EXPECT_FALSE(CatFiles(job, messenger).written);
    ASSERT_EQ(1u, messenger.told.size());
    EXPECT_EQ(kind, messenger.told[0].Kind());
    EXPECT_EQ(0u, written);
    EXPECT_EQ(before, NamesIn(dir));
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
    ASSERT_EQ(no.Kinds(), std::vector<OutcomeKind>{OutcomeKind::ReplaceOutput});
    EXPECT_EQ(dir.File("thesis.doc"), no.told[0].As<told::ReplaceOutput>().path);
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
    ASSERT_EQ(gap.Kinds(), std::vector<OutcomeKind>{OutcomeKind::PieceMissing});
    EXPECT_EQ("_Split#003", gap.told[0].As<told::PieceMissing>().name);
    EXPECT_FALSE(dir.Exists("gap.bin"));

    dir.Write("_Split#003", "x");
    dir.Write("_SPLIT#002", "another 2");
    RecordingMessenger twice;
    EXPECT_FALSE(JoinDiscovered(dir, twice).written);
    ASSERT_EQ(twice.Kinds(), std::vector<OutcomeKind>{OutcomeKind::PieceNumberTwice});
    EXPECT_EQ("_SPLIT#002", twice.told[0].As<told::PieceNumberTwice>().name);
    EXPECT_EQ("_Split#002", twice.told[0].As<told::PieceNumberTwice>().otherName);
    EXPECT_FALSE(dir.Exists("gap.bin"));
}

TEST(JoinChecks, ANameTooLongForTheFileSystemIsRefusedBeforeCopying) {
    TempDir dir;
    std::string euros; // 100 UTF-16 units, as Windows counts, but 300 bytes, more than a POSIX name takes
    for (int i = 0; i < 100; ++i)
        euros += "\xE2\x82\xAC";
    const std::string data = TestBytes(5000, 23);
    CatJob header;
    header.paths = PathsIn(dir, WriteSet(dir, euros, data, 2000));
    dir.Enter();
    ExpectRefusedBeforeCopying(dir, header, OutcomeKind::OutputNameTooLong);

    CatJob plain = header;
    plain.explicitSelection = true;
    plain.plainNameFormat = std::string(300, 'n') + "%i";
    ExpectRefusedBeforeCopying(dir, plain, OutcomeKind::OutputNameTooLong);
}

#if defined(__linux__) && defined(__NR_renameat2)
// A file system that can neither rename without replacing nor hard-link, as some network and FUSE
// file systems are: the system calls fail as they do there.
void RefuseUnreplacingRenames() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EINVAL),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_linkat, 2, 0),
#ifdef __NR_link
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_link, 1, 0),
#else
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_linkat, 1, 0),
#endif
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        ::_exit(2);
}

TEST(JoinChecks, AFileSystemThatCannotRenameWithoutReplacingIsToldBeforeCopying) {
    TempDir dir;
    CatJob job;
    job.paths = PathsIn(dir, WriteSet(dir, "movie.bin", TestBytes(5000, 24), 2000));
    dir.Enter();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RefuseUnreplacingRenames();
        ExpectRefusedBeforeCopying(dir, job, OutcomeKind::CannotCommitUnreplacing);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
#endif
