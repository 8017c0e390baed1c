// The console's wording of the engines' outcomes: one line each.
#include "cli/console.h"
#include "platform/error_text.h"

namespace {

using std::to_string;

// What became of the output of a join that ended unfinished.
std::string UnfinishedLine(const told::Unfinished& o) {
    if (o.stream)
        return "what was written to " + o.path + " is incomplete";
    if (o.path.empty())
        return "nothing was written";
    return "the unfinished " + o.path + (o.undeleted ? " could not be deleted" : " was deleted");
}

// A success report, which --quiet leaves out.
bool IsSuccessReport(const Outcome& outcome) {
    return outcome.Kind() == OutcomeKind::CatChecked || outcome.Kind() == OutcomeKind::PlainCatDone;
}

// "6 split files (_Split#000 to _Split#005)", "1 recovery file (_Split#.par2)"
std::string FilesNamed(uint64_t count, const char* kind, const std::string& first, const std::string& last) {
    return count == 1 ? "1 " + std::string(kind) + " file (" + first + ")"
                      : to_string(count) + " " + kind + " files (" + first + " to " + last + ")";
}

std::string Line(const told::MismatchKept& o) {
    return "MISMATCH: " + o.name + ": CRC-32 " + o.crc.computed + " but " + o.crc.recorded + " recorded; " +
           o.outputPath + " left untouched, the joined data kept as " + o.keptPath;
}
std::string Line(const told::OutputIsFolder& o) {
    return o.path + " is a folder; nothing was written";
}
std::string Line(const told::OutputIsDanglingLink& o) {
    return o.path + " is a symbolic link to nothing; nothing was written";
}
std::string Line(const told::OutputIsSpecial& o) {
    return o.path + " is a device, pipe or socket; nothing was written";
}
std::string Line(const told::OutputNameTooLong& o) {
    return o.path + ": the name is too long for the file system there; nothing was written";
}
std::string Line(const told::CannotCommitUnreplacing& o) {
    return o.path + ": the file system there cannot give a finished file its name without replacing one (" + o.reason +
           "); nothing was written";
}
std::string Line(const told::PieceNotRegular& o) {
    return o.path + " is not a regular file, so it is no piece; nothing was read or written";
}
std::string Line(const told::DuplicatePiece& o) {
    return "two files carry one piece number: " + o.path + " and " + o.otherPath + "; nothing was written";
}
std::string Line(const told::PieceSizeTooSmall& o) {
    return "piece size " + to_string(o.splitSize) + " cannot hold the " + to_string(o.prefixBytes) +
           " bytes before the data and one byte of it; the smallest is " + to_string(o.prefixBytes + 1);
}
std::string Line(const told::NotEnoughSpace& o) {
    return "not enough free space in " + o.folder + ": " + to_string(o.neededBytes) + " bytes needed, " +
           to_string(o.freeBytes) + " free; nothing was written";
}
std::string Line(const told::TooLargeForVolume& o) {
    return "the volume of " + o.folder + " takes files of at most " + to_string(o.fileLimit) +
           " bytes (FAT32), but a file of " + to_string(o.largestFile) + " bytes would be written";
}
std::string Line(const told::LargeFileNotLarger& o) {
    return o.path + " is not larger than the piece size of " + to_string(o.splitSize) + " bytes; nothing to split";
}
std::string Line(const told::NoSplitSize&) {
    return "no piece size; nothing was written";
}
std::string Line(const told::NameUnrecordable& o) {
    return o.path + ": the first piece cannot record the name \"" + o.name +
           "\" (a device name, a name ending in a dot or blank, or one too long); split it with --no-crc, "
           "or rename it first";
}
std::string Line(const told::SelfCatenateTooSmall& o) {
    return "piece size " + to_string(o.splitSize) + " is too small for --self-cat: the first piece holds the " +
           "catstub program (" + to_string(o.stubBytes) + " bytes) and the header (" + to_string(o.headerBytes) +
           " bytes) before any data; the smallest is " + to_string(o.stubBytes + o.headerBytes + 1);
}
std::string Line(const told::TooManyPieces&) {
    return "the split would write more than 1000 pieces; choose a larger --size or a --count of at most 1000";
}
std::string Line(const told::LargeFileIsAPiece& o) {
    return o.path + " is itself a piece in the folder the pieces go to, and the split would destroy it; "
                    "move or rename it first";
}
std::string Line(const told::StubImageMissing&) {
    return "this fendrik was built without the catstub program, so it cannot write _Split#000.exe";
}
std::string Line(const told::StubImageWrongSize& o) {
    return "the catstub program carried is " + to_string(o.carriedBytes) + " bytes long instead of " +
           to_string(o.expectedBytes) + ", so it cannot write _Split#000.exe";
}
std::string Line(const told::RecoveryPiecesTooSmall& o) {
    return "recovery files cannot be made for " + to_string(o.pieces) + " pieces of " + to_string(o.splitSize) +
           " bytes: each would repeat the checksums of the whole set and outgrow a " +
           "piece; choose a larger --size or a smaller --count";
}
std::string Line(const told::RecoveryNeedsMemory& o) {
    return "recovery files for pieces of " + to_string(o.splitSize) + " bytes need more memory than the " +
           to_string(o.memoryAllowed) + " bytes allowed; give a larger --memory";
}
std::string Line(const told::RecoveryMemoryUnavailable&) {
    return "not enough memory for the recovery files; use a smaller --memory or fewer recovery files";
}
std::string Line(const told::CannotDeletePiece& o) {
    return "cannot delete " + o.name + " in " + o.folder + "; nothing was written";
}
// The leftovers of an earlier split, and what each kind of them would do.
std::string Line(const told::LeftoverPieces& o) {
    std::string held = o.folder + " already holds ";
    if (o.pieces)
        held += FilesNamed(o.pieces, "split", o.firstPiece, o.lastPiece);
    if (o.pieces && o.recoveryFiles)
        held += " and ";
    if (o.recoveryFiles)
        held += FilesNamed(o.recoveryFiles, "recovery", o.firstRecoveryFile, o.lastRecoveryFile);
    held += " from an earlier split";
    if (o.pieces)
        held += "; its pieces would be joined with the new ones into a wrong file";
    if (o.recoveryFiles)
        held += "; its recovery files describe its pieces, not the new ones";
    return held + "; delete them?";
}
std::string Line(const told::SplitFileError& o) {
    return "split failed: " + o.reason + "; nothing was written";
}
std::string Line(const told::SplitFailedCleanedUp& o) {
    return "split failed: " + o.reason + " The " + to_string(o.piecesDeleted) + " pieces written were deleted";
}
std::string Line(const told::ChangedWhileSplitting& o) {
    return o.path + " changed while it was being split" +
           (o.measuredCrc != o.copiedCrc
                ? " (CRC-32 " + o.measuredCrc + " when measured, " + o.copiedCrc + " while its pieces were written)"
                : std::string()) +
           "; the " + to_string(o.piecesDeleted) + " pieces written were deleted";
}
std::string Line(const told::SplitStopped&) {
    return "split stopped; the pieces it had written were deleted";
}
std::string Line(const told::NotAFirstPiece& o) {
    return o.path + " is not a first piece (_Split#000); nothing was joined";
}
std::string Line(const told::FirstPieceNotAFile& o) {
    return o.path + " is no file to join from; nothing was joined";
}
std::string Line(const told::NotAPiece& o) {
    return o.path + " is not a piece of a split set (_Split#000 to _Split#999, _Split#000.exe)";
}
std::string Line(const told::TwoFirstPieces& o) {
    return o.folder + " holds both _Split#000 and _Split#000.exe, the first pieces of two sets; name the first "
                      "piece of the set you mean";
}
std::string Line(const told::FirstPieceUnreadable& o) {
    return "cannot read the first piece: " + o.reason;
}
std::string Line(const told::PieceNumberTwice& o) {
    return o.name + " and " + o.otherName + " carry one piece number; nothing was written";
}
std::string Line(const told::PieceMissing& o) {
    return o.name + " is missing and the set cannot be joined without it; nothing was written";
}
std::string Line(const told::NoOriginalName& o) {
    return o.path + " records no file name that a join can create; nothing was written";
}
std::string Line(const told::OutputIsAnInput& o) {
    return "the joined file " + o.outputPath + " would overwrite the piece " + o.inputPath + "; nothing was written";
}
std::string Line(const told::ReplaceOutput& o) {
    return o.path + " already exists; replace it with the joined file?";
}
std::string Line(const told::NoFreePlainName& o) {
    return "every name of the form " + o.nameForm + " is taken in " + o.folder + "; nothing was written";
}
std::string Line(const told::CatFileError& o) {
    return "join failed: " + o.reason + "; " + UnfinishedLine(o.unfinished);
}
std::string Line(const told::CatStopped& o) {
    return "join stopped; " + UnfinishedLine(o.unfinished);
}
std::string Line(const told::CatChecked& o) {
    return "joined " + o.name + ": CRC-32 " + o.crc.computed + " OK";
}
std::string Line(const told::PlainCatDone& o) {
    return "joined " + to_string(o.files) + (o.files == 1 ? " file" : " files") + " into " + o.name;
}
std::string Line(const told::MismatchWritten& o) {
    return "MISMATCH: " + o.name + ": CRC-32 " + o.crc.computed + " but " + o.crc.recorded + " recorded; " +
           (o.stream ? "the data written to " + o.outputPath : o.outputPath) + " is not the file that was split";
}

// As the window says it; ConsoleMessenger::Tell puts it on one line.
std::string Line(const told::FileUnreadable& o) {
    return "Problem with File:\n" + o.path + "\n\n" + SystemErrorText(o.systemError);
}
std::string Line(const told::FileIsFolder& o) {
    return "File:\n" + o.path + "\nIs a directory";
}

} // namespace

std::string OutcomeLine(const Outcome& o) {
    return std::visit([](const auto& facts) { return Line(facts); }, o.Facts());
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
