// The console's wording of the engines' outcomes: one line each.
#include "cli/console.h"

std::string OutcomeLine(const Outcome& o) {
    switch (o.kind) {
    case OutcomeKind::MismatchKept:
        return "MISMATCH: " + o.name + ": CRC-32 " + o.computed + " but " + o.recorded + " recorded; " + o.path +
               " left untouched, the joined data kept as " + o.other;
    case OutcomeKind::OutputIsFolder:
        return o.path + " is a folder; nothing was written";
    case OutcomeKind::OutputIsDanglingLink:
        return o.path + " is a symbolic link to nothing; nothing was written";
    case OutcomeKind::OutputIsSpecial:
        return o.path + " is a device, pipe or socket; nothing was written";
    case OutcomeKind::OutputNameTooLong:
        return o.path + ": the name is too long for the file system there; nothing was written";
    case OutcomeKind::CannotCommitUnreplacing:
        return o.path + ": the file system there cannot give a finished file its name without replacing one (" +
               o.text + "); nothing was written";
    case OutcomeKind::PieceNotRegular:
        return o.path + " is not a regular file, so it is no piece; nothing was read or written";
    case OutcomeKind::DuplicatePiece:
        return "two files carry one piece number: " + o.path + " and " + o.other + "; nothing was written";
    case OutcomeKind::PieceSizeTooSmall:
        return "piece size " + std::to_string(o.first) + " cannot hold the " + std::to_string(o.second) +
               " bytes before the data and one byte of it; the smallest is " + std::to_string(o.second + 1);
    case OutcomeKind::NotEnoughSpace:
        return "not enough free space in " + o.path + ": " + std::to_string(o.first) + " bytes needed, " +
               std::to_string(o.second) + " free; nothing was written";
    case OutcomeKind::TooLargeForVolume:
        return "the volume of " + o.path + " takes files of at most " + std::to_string(o.second) +
               " bytes (FAT32), but a file of " + std::to_string(o.first) + " bytes would be written";
    case OutcomeKind::SplitFailedCleanedUp:
        return "split failed: " + o.text + " The " + std::to_string(o.first) + " pieces written were deleted";
    }
    return {};
}

void ConsoleMessenger::Tell(const Outcome& outcome) {
    console_.Message(OutcomeLine(outcome));
}
