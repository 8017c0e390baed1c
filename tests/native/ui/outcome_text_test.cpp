// The window's wording of the split's outcomes: the message boxes the split always showed.
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
