// The console's wording of the engines' outcomes: one line each.
#include "cli/console.h"

namespace {

// What became of the output of a join that ended unfinished.
std::string UnfinishedLine(const Outcome& o) {
    if (o.second != 0)
        return "what was written to " + o.path + " is incomplete";
    if (o.path.empty())
        return "nothing was written";
    return "the unfinished " + o.path + (o.first != 0 ? " could not be deleted" : " was deleted");
}

// A success report, which --quiet leaves out.
bool IsSuccessReport(const Outcome& outcome) {
    return outcome.kind == OutcomeKind::Joined || outcome.kind == OutcomeKind::PlainJoined;
}

// "6 split files (_Split#000 to _Split#005)", "1 recovery file (_Split#.par2)"
std::string FilesNamed(uint64_t count, const char* kind, const std::string& first, const std::string& last) {
    return count == 1 ? "1 " + std::string(kind) + " file (" + first + ")"
                      : std::to_string(count) + " " + kind + " files (" + first + " to " + last + ")";
}

// The leftovers of an earlier split, and what each kind of them would do.
std::string LeftoverLine(const Outcome& o) {
    std::string held = o.path + " already holds ";
    if (o.first)
        held += FilesNamed(o.first, "split", o.name, o.other);
    if (o.first && o.second)
        held += " and ";
    if (o.second)
        held += FilesNamed(o.second, "recovery", o.recorded, o.computed);
    held += " from an earlier split";
    if (o.first)
        held += "; its pieces would be joined with the new ones into a wrong file";
    if (o.second)
        held += "; its recovery files describe its pieces, not the new ones";
    return held + "; delete them?";
}

} // namespace

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
    case OutcomeKind::LargeFileNotLarger:
        return o.path + " is not larger than the piece size of " + std::to_string(o.second) +
               " bytes; nothing to split";
    case OutcomeKind::NoSplitSize:
        return "no piece size; nothing was written";
    case OutcomeKind::NameUnrecordable:
        return o.path + ": the first piece cannot record the name \"" + o.name +
               "\" (a device name, a name ending in a dot or blank, or one too long); split it with --no-crc, "
               "or rename it first";
    case OutcomeKind::SelfCatenateTooSmall:
        return "piece size " + std::to_string(o.first) + " is too small for --self-cat: the first piece holds the " +
               "catstub program (" + std::to_string(o.second) + " bytes) and the header (" + std::to_string(o.third) +
               " bytes) before any data; the smallest is " + std::to_string(o.second + o.third + 1);
    case OutcomeKind::TooManyPieces:
        return "the split would write more than 1000 pieces; choose a larger --size or a --count of at most 1000";
    case OutcomeKind::LargeFileIsAPiece:
        return o.path + " is itself a piece in the folder the pieces go to, and the split would destroy it; "
                        "move or rename it first";
    case OutcomeKind::StubImageMissing:
        return "this fendrik was built without the catstub program, so it cannot write _Split#000.exe";
    case OutcomeKind::StubImageWrongSize:
        return "the catstub program carried is " + std::to_string(o.first) + " bytes long instead of " +
               std::to_string(o.second) + ", so it cannot write _Split#000.exe";
    case OutcomeKind::RecoveryPiecesTooSmall:
        return "recovery files cannot be made for " + std::to_string(o.first) + " pieces of " +
               std::to_string(o.second) + " bytes: each would repeat the checksums of the whole set and outgrow a " +
               "piece; choose a larger --size or a smaller --count";
    case OutcomeKind::RecoveryNeedsMemory:
        return "recovery files for pieces of " + std::to_string(o.first) + " bytes need more memory than the " +
               std::to_string(o.second) + " bytes allowed; give a larger --memory";
    case OutcomeKind::RecoveryMemoryUnavailable:
        return "not enough memory for the recovery files; use a smaller --memory or fewer recovery files";
    case OutcomeKind::CannotDeletePiece:
        return "cannot delete " + o.name + " in " + o.path + "; nothing was written";
    case OutcomeKind::LeftoverPieces:
        return LeftoverLine(o);
    case OutcomeKind::SplitFileError:
        return "split failed: " + o.text + "; nothing was written";
    case OutcomeKind::SplitFailedCleanedUp:
        return "split failed: " + o.text + " The " + std::to_string(o.first) + " pieces written were deleted";
    case OutcomeKind::ChangedWhileSplitting:
        return o.path + " changed while it was being split" +
               (o.recorded != o.computed
                    ? " (CRC-32 " + o.recorded + " when measured, " + o.computed + " while its pieces were written)"
                    : std::string()) +
               "; the " + std::to_string(o.first) + " pieces written were deleted";
    case OutcomeKind::SplitStopped:
        return "split stopped; the pieces it had written were deleted";
    case OutcomeKind::NotAFirstPiece:
        return o.path + " is not a first piece (_Split#000); nothing was joined";
    case OutcomeKind::FirstPieceNotAFile:
        return o.path + " is no file to join from; nothing was joined";
    case OutcomeKind::NotAPiece:
        return o.path + " is not a piece of a split set (_Split#000 to _Split#999, _Split#000.exe)";
    case OutcomeKind::TwoFirstPieces:
        return o.path + " holds both _Split#000 and _Split#000.exe, the first pieces of two sets; name the first "
                        "piece of the set you mean";
    case OutcomeKind::FirstPieceUnreadable:
        return "cannot read the first piece: " + o.text;
    case OutcomeKind::PieceNumberTwice:
        return o.name + " and " + o.other + " carry one piece number; nothing was written";
    case OutcomeKind::PieceMissing:
        return o.name + " is missing and the set cannot be joined without it; nothing was written";
    case OutcomeKind::NoOriginalName:
        return o.path + " records no file name that a join can create; nothing was written";
    case OutcomeKind::OutputIsAnInput:
        return "the joined file " + o.path + " would overwrite the piece " + o.other + "; nothing was written";
    case OutcomeKind::ReplaceOutput:
        return o.path + " already exists; replace it with the joined file?";
    case OutcomeKind::NoFreePlainName:
        return "every name of the form " + o.name + " is taken in " + o.path + "; nothing was written";
    case OutcomeKind::JoinFileError:
        return "join failed: " + o.text + "; " + UnfinishedLine(o);
    case OutcomeKind::JoinStopped:
        return "join stopped; " + UnfinishedLine(o);
    case OutcomeKind::Joined:
        return "joined " + o.name + ": CRC-32 " + o.computed + " OK";
    case OutcomeKind::PlainJoined:
        return "joined " + std::to_string(o.first) + (o.first == 1 ? " file" : " files") + " into " + o.name;
    case OutcomeKind::MismatchWritten:
        return "MISMATCH: " + o.name + ": CRC-32 " + o.computed + " but " + o.recorded + " recorded; " + o.path +
               " is not the file that was split";
    }
    return {};
}

void ConsoleMessenger::Tell(const Outcome& outcome) {
    // Success reports are what --quiet leaves out; problems and stops are always told.
    if (console_.Quiet() && IsSuccessReport(outcome))
        return;
    // An engine's description may span lines: the console gives each message one.
    console_.Message(OneLine(OutcomeLine(outcome)));
}

Answer ConsoleMessenger::Ask(const Outcome& question) {
    return Show(OutcomeLine(question), Icon::Question, Buttons::YesNo);
}
