// The window's wording of the engines' outcomes: the message boxes the split and the joins always showed.
#include <gtest/gtest.h>

#include "platform/error_text.h"
#include "ui/outcome_text.h"

TEST(SplitOutcomeText, RefusalsKeepTheirBoxes) {
    const Outcome selfCat = told::SelfCatenateTooSmall{45073, 45056, 17};
    EXPECT_EQ(OutcomeText(selfCat), "Split size 45073 is too small for Self Catenate: the first piece holds the "
                                    "catstub program (45056 bytes) and the header (17 bytes) before any data.\n"
                                    "The smallest split size that works is 45074 bytes.\nSplit  NOT  Successful");
    EXPECT_EQ(OutcomeIcon(selfCat), Icon::Exclamation);
    told::NameUnrecordable name;
    name.path = "C:\\con.txt";
    name.name = "con.txt";
    EXPECT_EQ(OutcomeText(name), "File: C:\\con.txt\nIts name cannot be recorded in the first piece: no catenation "
                                 "could create a file named \"con.txt\" (a device name, a name ending in a dot or "
                                 "blank, or one too long).\nSplit it \"Without CRC\", or rename it first.\nSplit  NOT  "
                                 "Successful");
    EXPECT_EQ(OutcomeText(told::TooManyPieces{}), "Too many Splitted Files.\nSplit  NOT  Successful");
    EXPECT_EQ(OutcomeIcon(told::TooManyPieces{}), Icon::Hand);
    EXPECT_EQ(OutcomeIcon(told::SplitStopped{}), Icon::Information);

    told::LeftoverPieces leftovers;
    leftovers.folder = "C:\\d";
    leftovers.pieces = 6;
    leftovers.firstPiece = "_Split#000";
    leftovers.lastPiece = "_Split#004";
    EXPECT_EQ(OutcomeText(leftovers), "The folder C:\\d already holds 6 split files (_Split#000 to _Split#004), left "
                                      "from an earlier split.\nThey would be joined with the new pieces into a wrong "
                                      "file.\n\nDelete them before splitting?");
}

// A join's end of its kind: its output, name and CRC-32 texts.
template <class End> End CheckedEnd(const std::string& outputPath, const std::string& name, const told::CrcTexts& crc) {
    End end;
    end.outputPath = outputPath;
    end.name = name;
    end.crc = crc;
    return end;
}

TEST(JoinOutcomeText, EveryJoinKeepsItsBoxes) {
    told::CatStopped stopped;
    stopped.unfinished.path = "C:\\d\\File7.partial";
    told::CatFileError failed;
    failed.reason = "Disk full";
    failed.unfinished.path = "C:\\d\\a.bin.partial";
    failed.unfinished.undeleted = true;
    const auto mismatch = CheckedEnd<told::MismatchWritten>("C:\\d\\a.bin", "a.bin", {"12", "34"});
    told::PlainCatDone plain;
    plain.name = "File7";
    plain.files = 3;
    told::PieceNumberTwice twice;
    twice.name = "_SPLIT#002";
    twice.otherName = "_Split#002";
    const auto joined = CheckedEnd<told::CatChecked>("C:\\d\\fox.txt", "fox.txt", {"414FA339", "414FA339"});
    told::OutputIsAnInput overwrites;
    overwrites.outputPath = "C:\\d\\_Split#002";
    overwrites.inputPath = "C:\\d\\_Split#002";
    told::MismatchKept kept;
    kept.outputPath = "C:\\d\\a.bin";
    kept.keptPath = "C:\\d\\a.bin.inconsistent";
    kept.name = "a.bin";
    kept.crc = {"12", "34"};
    const struct {
        Outcome outcome;
        std::string text;
        Icon icon;
    } boxes[] = {
        {joined, "Catenated File: fox.txt  OK\n\nCRC32 = Hex:414FA339", Icon::Information},
        {plain, "Catenated File: File7 done", Icon::Information},
        {mismatch,
         "Concatenated File is Inconsistent! CRC32 not equal\n\nFile Name: a.bin\nOriginal CRC32 =\t\t12\n"
         "Catenated File CRC32 =\t34",
         Icon::Hand},
        {stopped, "Catenation cancelled.\nThe unfinished file C:\\d\\File7.partial was deleted.", Icon::Information},
        {told::CatStopped{}, "Catenation cancelled.", Icon::Information},
        {failed,
         "Error on Subroutine: CatFiles\nDisk full\nThe unfinished file C:\\d\\a.bin.partial could not be deleted.",
         Icon::Hand},
        {overwrites,
         "Error on Subroutine: CatFiles\nThe catenated file C:\\d\\_Split#002 would overwrite the input file "
         "C:\\d\\_Split#002. Nothing was written.",
         Icon::Hand},
        {told::ReplaceOutput{"C:\\d\\a.doc"},
         "The file C:\\d\\a.doc already exists.\nThe catenated file will replace it.\n\nReplace it?",
         Icon::Exclamation},
        {twice, "Two split files carry the same number:\n_SPLIT#002\n_Split#002\nNothing was written.", Icon::Hand},
        {told::NoOriginalName{"C:\\d\\_Split#000"}, "Can't get original file name\nProblems with File: _Split#000\n",
         Icon::Hand},
        {told::NotAFirstPiece{"x"}, "No correct 1st spitted file name", Icon::Exclamation},
        {told::FirstPieceNotAFile{"x"}, "Not a normal file", Icon::Exclamation},
    };
    for (const auto& box : boxes) {
        EXPECT_EQ(OutcomeText(box.outcome), box.text);
        EXPECT_EQ(OutcomeIcon(box.outcome), box.icon) << box.text;
    }
    EXPECT_EQ(OutcomeText(mismatch) + "\n\nThe file C:\\d\\a.bin was left as it was.\nThe inconsistent catenated file "
                                      "was kept as C:\\d\\a.bin.inconsistent.",
              OutcomeText(kept));
    EXPECT_EQ(OutcomeText(told::FileIsFolder{"C:\\d\\_Split#000"}), "File:\nC:\\d\\_Split#000\nIs a directory");
    EXPECT_EQ(OutcomeIcon(told::FileIsFolder{}), Icon::Hand);
    EXPECT_EQ(OutcomeText(told::FileUnreadable{"C:\\d\\x", 2}),
              "Problem with File:\nC:\\d\\x\n\n" + SystemErrorText(2));
    EXPECT_EQ(OutcomeIcon(told::FileUnreadable{}), Icon::Exclamation);
    EXPECT_EQ(OutcomeText(told::PieceMissing{"_Split#003"}),
              "_Split#003 is missing: the set cannot be catenated without it.\nNothing was written.");
}
