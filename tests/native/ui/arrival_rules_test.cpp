// Where a dropped file or a file on the command line goes.
#include <gtest/gtest.h>

#include "ui/arrival_rules.h"

TEST(ArrivalRules, ADropLandsOnTheHalfWhoseFrameHoldsItOrIsNearer) {
    const ClientBox split{10, 10, 400, 300};
    const ClientBox cat{10, 320, 400, 520};
    EXPECT_EQ(DialogHalf::Split, HalfAt(200, 10, split, cat));
    EXPECT_EQ(DialogHalf::Catenate, HalfAt(200, 519, split, cat));
    EXPECT_EQ(DialogHalf::Split, HalfAt(200, 305, split, cat)) << "in the gap, nearer the split frame";
    EXPECT_EQ(DialogHalf::Catenate, HalfAt(200, 316, split, cat)) << "in the gap, nearer the catenate frame";
    EXPECT_EQ(DialogHalf::Catenate, HalfAt(200, 560, split, cat)) << "the Dismiss button below both";
    EXPECT_EQ(DialogHalf::Split, HalfAt(2, 100, split, cat)) << "the left margin beside the split frame";
}

TEST(ArrivalRules, PiecesOfASetGoToTheCatenateHalfOtherFilesToTheSplitHalf) {
    for (const char* piece : {"C:\\set\\_Split#000", "C:\\set\\_split#003", "C:\\set\\_SPLIT#000.EXE",
                              "C:\\set\\_Split#000.exe", "_Split#042"}) {
        EXPECT_TRUE(IsPieceOfSet(piece)) << piece;
        EXPECT_EQ(DialogHalf::Catenate, HalfForStartFile(piece)) << piece;
    }
    for (const char* other : {"C:\\films\\movie.avi", "C:\\set\\_Split#01", "C:\\set\\_Split#0001",
                              "C:\\set\\_Split#000.txt", "C:\\_Split#000\\movie.avi", "C:\\set\\_Split#999.exe"}) {
        EXPECT_FALSE(IsPieceOfSet(other)) << other;
        EXPECT_EQ(DialogHalf::Split, HalfForStartFile(other)) << other;
    }
}

TEST(ArrivalRules, ALaterPieceStandsForItsSetsFirstPiece) {
    EXPECT_EQ("C:\\set\\_Split#000", FirstPieceOfSet("C:\\set\\_Split#003"));
    EXPECT_EQ("C:\\set\\_Split#000", FirstPieceOfSet("C:\\set\\_split#000")) << "the name's one right spelling";
    EXPECT_EQ("C:\\set\\_Split#000", FirstPieceOfSet("C:\\set\\_Split#000.exe"));
    EXPECT_EQ("_Split#000", FirstPieceOfSet("_Split#007"));
    EXPECT_EQ(std::nullopt, FirstPieceOfSet("C:\\set\\_Split#000")) << "already the first piece";
    EXPECT_EQ(std::nullopt, FirstPieceOfSet("C:\\films\\movie.avi"));
}
