// The window's wording of the engines' outcomes: the message boxes the split and the joins always showed.
#include <gtest/gtest.h>

#include "ui/outcome_text.h"

TEST(SplitOutcomeText, RefusalsKeepTheirBoxes) {
    const Outcome selfCat = CountedOutcome(OutcomeKind::SelfCatenateTooSmall, 45073, 45056, 17);
    EXPECT_EQ(OutcomeText(selfCat), "Split size 45073 is too small for Self Catenate: the first piece holds the "
                                    "catstub program (45056 bytes) and the header (17 bytes) before any data.\n"
                                    "The smallest split size that works is 45074 bytes.\nSplit  NOT  Successful");
    EXPECT_EQ(OutcomeIcon(selfCat), Icon::Exclamation);
    const Outcome name{OutcomeKind::NameUnrecordable, "C:\\con.txt", {}, {}, "con.txt"};
    EXPECT_EQ(OutcomeText(name), "File: C:\\con.txt\nIts name cannot be recorded in the first piece: no catenation "
                                 "could create a file named \"con.txt\" (a device name, a name ending in a dot or "
                                 "blank, or one too long).\nSplit it \"Without CRC\", or rename it first.\nSplit  NOT  "
                                 "Successful");
    EXPECT_EQ(OutcomeText({OutcomeKind::TooManyPieces}), "Too many Splitted Files.\nSplit  NOT  Successful");
    EXPECT_EQ(OutcomeIcon({OutcomeKind::TooManyPieces}), Icon::Hand);
    EXPECT_EQ(OutcomeIcon({OutcomeKind::SplitStopped}), Icon::Information);

    Outcome leftovers = CountedOutcome(OutcomeKind::LeftoverPieces, 6);
    leftovers.path = "C:\\d";
    leftovers.name = "_Split#000";
    leftovers.other = "_Split#004";
    EXPECT_EQ(OutcomeText(leftovers), "The folder C:\\d already holds 6 split files (_Split#000 to _Split#004), left "
                                      "from an earlier split.\nThey would be joined with the new pieces into a wrong "
                                      "file.\n\nDelete them before splitting?");
}

TEST(JoinOutcomeText, EveryJoinKeepsItsBoxes) {
    Outcome stopped{OutcomeKind::JoinStopped, "C:\\d\\File7.partial"};
    Outcome failed{OutcomeKind::JoinFileError, "C:\\d\\a.bin.partial", {}, "Disk full"};
    failed.first = 1;
    const Outcome mismatch{OutcomeKind::MismatchWritten, "C:\\d\\a.bin", {}, {}, "a.bin", "12", "34"};
    Outcome plain = CountedOutcome(OutcomeKind::PlainJoined, 3);
    plain.name = "File7";
    Outcome twice{OutcomeKind::PieceNumberTwice};
    twice.name = "_SPLIT#002";
    twice.other = "_Split#002";
    const struct {
        Outcome outcome;
        std::string text;
        Icon icon;
    } boxes[] = {
        {{OutcomeKind::Joined, "C:\\d\\fox.txt", {}, {}, "fox.txt", "414FA339", "414FA339"},
         "Catenated File: fox.txt  OK\n\nCRC32 = Hex:414FA339",
         Icon::Information},
        {plain, "Catenated File: File7 done", Icon::Information},
        {mismatch,
         "Concatenated File is Inconsistent! CRC32 not equal\n\nFile Name: a.bin\nOriginal CRC32 =\t\t12\n"
         "Catenated File CRC32 =\t34",
         Icon::Hand},
        {stopped, "Catenation cancelled.\nThe unfinished file C:\\d\\File7.partial was deleted.", Icon::Information},
        {{OutcomeKind::JoinStopped}, "Catenation cancelled.", Icon::Information},
        {failed,
         "Error on Subroutine: CatFiles\nDisk full\nThe unfinished file C:\\d\\a.bin.partial could not be deleted.",
         Icon::Hand},
        {{OutcomeKind::OutputIsAnInput, "C:\\d\\_Split#002", "C:\\d\\_Split#002"},
         "Error on Subroutine: CatFiles\nThe catenated file C:\\d\\_Split#002 would overwrite the input file "
         "C:\\d\\_Split#002. Nothing was written.",
         Icon::Hand},
        {{OutcomeKind::ReplaceOutput, "C:\\d\\a.doc"},
         "The file C:\\d\\a.doc already exists.\nThe catenated file will replace it.\n\nReplace it?",
         Icon::Exclamation},
        {twice, "Two split files carry the same number:\n_SPLIT#002\n_Split#002\nNothing was written.", Icon::Hand},
        {{OutcomeKind::NoOriginalName, "C:\\d\\_Split#000"},
         "Can't get original file name\nProblems with File: _Split#000\n",
         Icon::Hand},
        {{OutcomeKind::NotAFirstPiece, "x"}, "No correct 1st spitted file name", Icon::Exclamation},
        {{OutcomeKind::FirstPieceNotAFile, "x"}, "Not a normal file", Icon::Exclamation},
    };
    for (const auto& box : boxes) {
        EXPECT_EQ(OutcomeText(box.outcome), box.text);
        EXPECT_EQ(OutcomeIcon(box.outcome), box.icon) << box.text;
    }
    EXPECT_EQ(
        OutcomeText(mismatch) + "\n\nThe file C:\\d\\a.bin was left as it was.\nThe inconsistent catenated file "
                                "was kept as C:\\d\\a.bin.inconsistent.",
        OutcomeText({OutcomeKind::MismatchKept, "C:\\d\\a.bin", "C:\\d\\a.bin.inconsistent", {}, "a.bin", "12", "34"}));
    Outcome gap{OutcomeKind::PieceMissing};
    gap.name = "_Split#003";
    EXPECT_EQ(OutcomeText(gap), "_Split#003 is missing: the set cannot be catenated without it.\nNothing was written.");
}
