// Message-box texts for the engines' outcomes.
#include "ui/outcome_text.h"

#include "core/join_texts.h"
#include "platform/error_text.h"

namespace {

using std::to_string;

constexpr char kNothingWritten[] = "\nNothing was written.";
constexpr char kSplitNotSuccessful[] = "\nSplit  NOT  Successful";
// The split names itself by its button's handler, the join by its routine, as every file error of the window does.
constexpr char kSplitError[] = "Error on Subroutine: OnBn_StartSplit\n";
constexpr char kCatError[] = "Error on Subroutine: CatFiles\n";

// What the join found of a result whose CRC-32 is not the recorded one.
std::string MismatchText(const std::string& name, const told::CrcTexts& crc) {
    return "Concatenated File is Inconsistent! CRC32 not equal\n" + std::string("\nFile Name: ") + name +
           "\nOriginal CRC32 =\t\t" + crc.recorded + "\nCatenated File CRC32 =\t" + crc.computed;
}

// What became of the output of a join that ended unfinished; nothing when none was created.
std::string UnfinishedText(const told::Unfinished& o) {
    if (o.path.empty())
        return {};
    return join_text::kUnfinished + o.path + (o.undeleted ? " could not be deleted." : join_text::kWasDeleted);
}

// "6 split files (_Split#000 to _Split#005)", "1 recovery file (_Split#.par2)"
std::string FilesNamed(uint64_t count, const char* kind, const std::string& first, const std::string& last) {
    return count == 1 ? "1 " + std::string(kind) + " file (" + first + ")"
                      : to_string(count) + " " + kind + " files (" + first + " to " + last + ")";
}

std::string Text(const told::MismatchKept& o) {
    return MismatchText(o.name, o.crc) + "\n\nThe file " + o.outputPath +
           " was left as it was.\nThe inconsistent catenated file " + "was kept as " + o.keptPath + ".";
}
std::string Text(const told::OutputIsFolder& o) {
    return "Can't create " + o.path + ":\na folder has that name." + kNothingWritten;
}
std::string Text(const told::OutputIsDanglingLink& o) {
    return "Can't create " + o.path + ":\na link of that name leads nowhere." + kNothingWritten;
}
std::string Text(const told::OutputIsSpecial& o) {
    return "Can't create " + o.path + ":\na device or pipe has that name." + kNothingWritten;
}
std::string Text(const told::OutputNameTooLong& o) {
    return "Can't create " + o.path + ":\nthe name is too long for the file system there." + kNothingWritten;
}
std::string Text(const told::CannotCommitUnreplacing& o) {
    return "Can't create " + o.path +
           ":\nthe file system there cannot give a finished file its name without replacing one.\n" + o.reason +
           kNothingWritten;
}
std::string Text(const told::PieceNotRegular& o) {
    return "File: " + o.path + "\nIs not a normal file: a split file must be a file." + kNothingWritten;
}
std::string Text(const told::DuplicatePiece& o) {
    return join_text::kFoundTwice + o.path + "\n" + o.otherPath + kNothingWritten;
}
std::string Text(const told::PieceSizeTooSmall& o) {
    return "Split size " + to_string(o.splitSize) + " is too small: the first piece holds " + to_string(o.prefixBytes) +
           " bytes before any data.\nThe smallest split size that works is " + to_string(o.prefixBytes + 1) +
           " bytes." + kSplitNotSuccessful;
}
std::string Text(const told::NotEnoughSpace& o) {
    return "Not enough free space in " + o.folder + ":\n" + to_string(o.neededBytes) + " bytes are needed, " +
           to_string(o.freeBytes) + " are free." + kNothingWritten;
}
std::string Text(const told::TooLargeForVolume& o) {
    return "The volume of " + o.folder + " takes files of at most " + to_string(o.fileLimit) +
           " bytes (FAT32),\nbut a file of " + to_string(o.largestFile) + " bytes would be written." + kNothingWritten;
}
std::string Text(const told::LargeFileNotLarger&) {
    return "Large File <= Split Size";
}
std::string Text(const told::NoSplitSize&) {
    return "Wrong Splitting Size";
}
std::string Text(const told::NameUnrecordable& o) {
    return "File: " + o.path + "\nIts name cannot be recorded in the first piece: no catenation could create " +
           "a file named \"" + o.name + "\" (a device name, a name ending in a dot or blank, or one too long)." +
           "\nSplit it \"Without CRC\", or rename it first." + kSplitNotSuccessful;
}
std::string Text(const told::SelfCatenateTooSmall& o) {
    return "Split size " + to_string(o.splitSize) + " is too small for Self Catenate: the first piece holds " +
           "the catstub program (" + to_string(o.stubBytes) + " bytes) and the header (" + to_string(o.headerBytes) +
           " bytes) before any data.\nThe smallest split size that works is " +
           to_string(o.stubBytes + o.headerBytes + 1) + " bytes." + kSplitNotSuccessful;
}
std::string Text(const told::TooManyPieces&) {
    return std::string("Too many Splitted Files.") + kSplitNotSuccessful;
}
std::string Text(const told::LargeFileIsAPiece& o) {
    return "File: " + o.path +
           "\nIs a split file in the folder the pieces are written to: the split would destroy it." +
           "\nMove or rename it first." + kSplitNotSuccessful;
}
std::string Text(const told::StubImageMissing&) {
    return std::string("The catstub program is missing from this program's resources.") + kSplitNotSuccessful;
}
std::string Text(const told::StubImageWrongSize& o) {
    return "The catstub program in this program's resources is " + to_string(o.carriedBytes) +
           " bytes long instead of " + to_string(o.expectedBytes) + "." + kSplitNotSuccessful;
}
std::string Text(const told::RecoveryPiecesTooSmall& o) {
    return "Recovery files cannot be made for " + to_string(o.pieces) + " pieces of " + to_string(o.splitSize) +
           " bytes: each recovery file repeats the checksums of the whole set " +
           "and would be larger than a piece.\nChoose a larger split size." + kSplitNotSuccessful;
}
std::string Text(const told::RecoveryNeedsMemory& o) {
    return "Recovery files for pieces of " + to_string(o.splitSize) + " bytes need more memory than the " +
           to_string(o.memoryAllowed) + " bytes allowed." + kSplitNotSuccessful;
}
std::string Text(const told::RecoveryMemoryUnavailable&) {
    return std::string("Not enough memory for the recovery files.\nAsk for fewer recovery files.") +
           kSplitNotSuccessful;
}
std::string Text(const told::CannotDeletePiece& o) {
    return "Can't delete " + o.name + " in " + o.folder + "." + kSplitNotSuccessful;
}
// The leftovers of an earlier split, and what each kind of them would do.
std::string Text(const told::LeftoverPieces& o) {
    std::string text = "The folder " + o.folder + " already holds ";
    if (o.pieces)
        text += FilesNamed(o.pieces, "split", o.firstPiece, o.lastPiece);
    if (o.pieces && o.recoveryFiles)
        text += " and ";
    if (o.recoveryFiles)
        text += FilesNamed(o.recoveryFiles, "recovery", o.firstRecoveryFile, o.lastRecoveryFile);
    text += ", left from an earlier split.";
    if (o.pieces)
        text += "\nThey would be joined with the new pieces into a wrong file.";
    if (o.recoveryFiles)
        text +=
            std::string("\n") + (o.pieces ? "Its recovery files" : "They") + " describe its pieces, not the new ones.";
    return text + "\n\nDelete them before splitting?";
}
std::string Text(const told::SplitFileError& o) {
    return kSplitError + o.reason;
}
std::string Text(const told::SplitFailedCleanedUp& o) {
    return kSplitError + o.reason + "\nThe pieces it had written were deleted.";
}
std::string Text(const told::ChangedWhileSplitting& o) {
    return "File: " + o.path + "\nChanged while it was being split" +
           (o.measuredCrc != o.copiedCrc ? ": its CRC-32 was " + o.measuredCrc + " when measured and " + o.copiedCrc +
                                               " while its pieces were written"
                                         : std::string()) +
           ".\nThe pieces it had written were deleted." + kSplitNotSuccessful;
}
std::string Text(const told::SplitStopped&) {
    return "Split cancelled.\nThe pieces it had written were deleted.";
}
std::string Text(const told::NotAFirstPiece&) {
    return "No correct 1st spitted file name";
}
std::string Text(const told::FirstPieceNotAFile&) {
    return "Not a normal file";
}
std::string Text(const told::NotAPiece& o) {
    return "File: " + o.path + "\nIs not a piece of a split set (_Split#000 to _Split#999, _Split#000.exe)";
}
std::string Text(const told::TwoFirstPieces& o) {
    return "Folder: " + o.folder + "\nHolds both _Split#000 and _Split#000.exe, the first pieces of two sets.\n" +
           "Name the first piece of the set you mean.";
}
std::string Text(const told::FirstPieceUnreadable& o) {
    return "Can't read the first piece\n" + o.reason;
}
std::string Text(const told::PieceNumberTwice& o) {
    return join_text::kFoundTwice + o.name + "\n" + o.otherName + kNothingWritten;
}
std::string Text(const told::PieceMissing& o) {
    return o.name + join_text::kIsMissing + kNothingWritten;
}
std::string Text(const told::NoOriginalName&) {
    return "Can't get original file name\nProblems with File: _Split#000\n";
}
std::string Text(const told::OutputIsAnInput& o) {
    return kCatError + ("The catenated file " + o.outputPath) + " would overwrite the input file " + o.inputPath +
           ". Nothing was written.";
}
std::string Text(const told::ReplaceOutput& o) {
    return "The file " + o.path + " already exists.\nThe catenated file will replace it.\n\nReplace it?";
}
std::string Text(const told::NoFreePlainName& o) {
    return kCatError + ("Every name of the form " + o.nameForm) + " is taken in " + o.folder + ". Nothing was written.";
}
std::string Text(const told::CatFileError& o) {
    return kCatError + o.reason + UnfinishedText(o.unfinished);
}
std::string Text(const told::CatStopped& o) {
    return "Catenation cancelled." + UnfinishedText(o.unfinished);
}
std::string Text(const told::CatChecked& o) {
    return "Catenated File: " + o.name + "  OK" + "\n\nCRC32 = Hex:" + o.crc.computed;
}
std::string Text(const told::PlainCatDone& o) {
    return "Catenated File: " + o.name + " done";
}
std::string Text(const told::MismatchWritten& o) {
    return MismatchText(o.name, o.crc);
}
std::string Text(const told::FileUnreadable& o) {
    return "Problem with File:\n" + o.path + "\n\n" + SystemErrorText(o.systemError);
}
std::string Text(const told::FileIsFolder& o) {
    return "File:\n" + o.path + "\nIs a directory";
}

} // namespace

std::string OutcomeText(const Outcome& o) {
    return std::visit([](const auto& facts) { return Text(facts); }, o.Facts());
}

Icon OutcomeIcon(const Outcome& o) {
    switch (o.Kind()) {
    case OutcomeKind::TooManyPieces:
    case OutcomeKind::StubImageMissing:
    case OutcomeKind::StubImageWrongSize:
    case OutcomeKind::CannotDeletePiece:
    case OutcomeKind::ChangedWhileSplitting:
    case OutcomeKind::FirstPieceUnreadable:
    case OutcomeKind::PieceNumberTwice:
    case OutcomeKind::PieceMissing:
    case OutcomeKind::NoOriginalName:
    case OutcomeKind::OutputIsAnInput:
    case OutcomeKind::NoFreePlainName:
    case OutcomeKind::CatFileError:
    case OutcomeKind::MismatchWritten:
    case OutcomeKind::FileIsFolder:
        return Icon::Hand;
    case OutcomeKind::SplitStopped:
    case OutcomeKind::CatStopped:
    case OutcomeKind::CatChecked:
    case OutcomeKind::PlainCatDone:
        return Icon::Information;
    default:
        return Icon::Exclamation;
    }
}

void ShowOutcome(Messenger& messenger, const Outcome& outcome) {
    messenger.Show(OutcomeText(outcome), OutcomeIcon(outcome));
}

Answer AskOutcome(Messenger& messenger, const Outcome& question) {
    return messenger.Show(OutcomeText(question), OutcomeIcon(question), Buttons::YesNo);
}
