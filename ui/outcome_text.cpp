// Message-box texts for the engines' outcomes.
#include "ui/outcome_text.h"

#include "core/join_texts.h"

namespace {

constexpr char kNothingWritten[] = "\nNothing was written.";
constexpr char kSplitNotSuccessful[] = "\nSplit  NOT  Successful";

} // namespace

std::string OutcomeText(const Outcome& o) {
    switch (o.kind) {
    case OutcomeKind::MismatchKept:
        return "Concatenated File is Inconsistent! CRC32 not equal\n" + std::string("\nFile Name: ") + o.name +
               "\nOriginal CRC32 =\t\t" + o.recorded + "\nCatenated File CRC32 =\t" + o.computed + "\n\nThe file " +
               o.path + " was left as it was.\nThe inconsistent catenated file was kept as " + o.other + ".";
    case OutcomeKind::OutputIsFolder:
        return "Can't create " + o.path + ":\na folder has that name." + kNothingWritten;
    case OutcomeKind::OutputIsDanglingLink:
        return "Can't create " + o.path + ":\na link of that name leads nowhere." + kNothingWritten;
    case OutcomeKind::OutputIsSpecial:
        return "Can't create " + o.path + ":\na device or pipe has that name." + kNothingWritten;
    case OutcomeKind::OutputNameTooLong:
        return "Can't create " + o.path + ":\nthe name is too long for the file system there." + kNothingWritten;
    case OutcomeKind::CannotCommitUnreplacing:
        return "Can't create " + o.path +
               ":\nthe file system there cannot give a finished file its name without replacing one.\n" + o.text +
               kNothingWritten;
    case OutcomeKind::PieceNotRegular:
        return "File: " + o.path + "\nIs not a normal file: a split file must be a file." + kNothingWritten;
    case OutcomeKind::DuplicatePiece:
        return join_text::kFoundTwice + o.path + "\n" + o.other + kNothingWritten;
    case OutcomeKind::PieceSizeTooSmall:
        return "Split size " + std::to_string(o.first) + " is too small: the first piece holds " +
               std::to_string(o.second) + " bytes before any data.\nThe smallest split size that works is " +
               std::to_string(o.second + 1) + " bytes." + kSplitNotSuccessful;
    case OutcomeKind::NotEnoughSpace:
        return "Not enough free space in " + o.path + ":\n" + std::to_string(o.first) + " bytes are needed, " +
               std::to_string(o.second) + " are free." + kNothingWritten;
    case OutcomeKind::TooLargeForVolume:
        return "The volume of " + o.path + " takes files of at most " + std::to_string(o.second) +
               " bytes (FAT32),\nbut a file of " + std::to_string(o.first) + " bytes would be written." +
               kNothingWritten;
    case OutcomeKind::SplitFailedCleanedUp:
        return "Error on Subroutine: OnBn_StartSplit\n" + o.text + "\nThe pieces it had written were deleted.";
    }
    return {};
}

Icon OutcomeIcon(const Outcome& o) {
    switch (o.kind) {
    case OutcomeKind::MismatchKept:
    case OutcomeKind::SplitFailedCleanedUp:
        return Icon::Exclamation;
    default:
        return Icon::Exclamation;
    }
}
