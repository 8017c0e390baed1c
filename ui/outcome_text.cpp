// Message-box texts for the engines' outcomes.
#include "ui/outcome_text.h"

#include "core/join_texts.h"

namespace {

constexpr char kNothingWritten[] = "\nNothing was written.";
constexpr char kSplitNotSuccessful[] = "\nSplit  NOT  Successful";
// The split names itself by its button's handler, the join by its routine, as every file error of the window does.
constexpr char kSplitError[] = "Error on Subroutine: OnBn_StartSplit\n";
constexpr char kCatError[] = "Error on Subroutine: CatFiles\n";

// What the join found of a result whose CRC-32 is not the recorded one.
std::string MismatchText(const Outcome& o) {
    return "Concatenated File is Inconsistent! CRC32 not equal\n" + std::string("\nFile Name: ") + o.name +
           "\nOriginal CRC32 =\t\t" + o.recorded + "\nCatenated File CRC32 =\t" + o.computed;
}

// What became of the output of a join that ended unfinished; nothing when none was created.
std::string UnfinishedText(const Outcome& o) {
    if (o.path.empty())
        return {};
    return join_text::kUnfinished + o.path + (o.first != 0 ? " could not be deleted." : join_text::kWasDeleted);
}

// "6 split files (_Split#000 to _Split#005)", "1 recovery file (_Split#.par2)"
std::string FilesNamed(uint64_t count, const char* kind, const std::string& first, const std::string& last) {
    return count == 1 ? "1 " + std::string(kind) + " file (" + first + ")"
                      : std::to_string(count) + " " + kind + " files (" + first + " to " + last + ")";
}

// The leftovers of an earlier split, and what each kind of them would do.
std::string LeftoverText(const Outcome& o) {
    std::string text = "The folder " + o.path + " already holds ";
    if (o.first)
        text += FilesNamed(o.first, "split", o.name, o.other);
    if (o.first && o.second)
        text += " and ";
    if (o.second)
        text += FilesNamed(o.second, "recovery", o.recorded, o.computed);
    text += ", left from an earlier split.";
    if (o.first)
        text += "\nThey would be joined with the new pieces into a wrong file.";
    if (o.second)
        text +=
            std::string("\n") + (o.first ? "Its recovery files" : "They") + " describe its pieces, not the new ones.";
    return text + "\n\nDelete them before splitting?";
}

} // namespace

std::string OutcomeText(const Outcome& o) {
    switch (o.kind) {
    case OutcomeKind::MismatchKept:
        return MismatchText(o) + "\n\nThe file " + o.path + " was left as it was.\nThe inconsistent catenated file " +
               "was kept as " + o.other + ".";
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
    case OutcomeKind::LargeFileNotLarger:
        return "Large File <= Split Size";
    case OutcomeKind::NoSplitSize:
        return "Wrong Splitting Size";
    case OutcomeKind::NameUnrecordable:
        return "File: " + o.path + "\nIts name cannot be recorded in the first piece: no catenation could create " +
               "a file named \"" + o.name + "\" (a device name, a name ending in a dot or blank, or one too long)." +
               "\nSplit it \"Without CRC\", or rename it first." + kSplitNotSuccessful;
    case OutcomeKind::SelfCatenateTooSmall:
        return "Split size " + std::to_string(o.first) + " is too small for Self Catenate: the first piece holds " +
               "the catstub program (" + std::to_string(o.second) + " bytes) and the header (" +
               std::to_string(o.third) + " bytes) before any data.\nThe smallest split size that works is " +
               std::to_string(o.second + o.third + 1) + " bytes." + kSplitNotSuccessful;
    case OutcomeKind::TooManyPieces:
        return std::string("Too many Splitted Files.") + kSplitNotSuccessful;
    case OutcomeKind::LargeFileIsAPiece:
        return "File: " + o.path +
               "\nIs a split file in the folder the pieces are written to: the split would destroy it." +
               "\nMove or rename it first." + kSplitNotSuccessful;
    case OutcomeKind::StubImageMissing:
        return std::string("The catstub program is missing from this program's resources.") + kSplitNotSuccessful;
    case OutcomeKind::StubImageWrongSize:
        return "The catstub program in this program's resources is " + std::to_string(o.first) +
               " bytes long instead of " + std::to_string(o.second) + "." + kSplitNotSuccessful;
    case OutcomeKind::RecoveryPiecesTooSmall:
        return "Recovery files cannot be made for " + std::to_string(o.first) + " pieces of " +
               std::to_string(o.second) + " bytes: each recovery file repeats the checksums of the whole set " +
               "and would be larger than a piece.\nChoose a larger split size." + kSplitNotSuccessful;
    case OutcomeKind::RecoveryNeedsMemory:
        return "Recovery files for pieces of " + std::to_string(o.first) + " bytes need more memory than the " +
               std::to_string(o.second) + " bytes allowed." + kSplitNotSuccessful;
    case OutcomeKind::RecoveryMemoryUnavailable:
        return std::string("Not enough memory for the recovery files.\nAsk for fewer recovery files.") +
               kSplitNotSuccessful;
    case OutcomeKind::CannotDeletePiece:
        return "Can't delete " + o.name + " in " + o.path + "." + kSplitNotSuccessful;
    case OutcomeKind::LeftoverPieces:
        return LeftoverText(o);
    case OutcomeKind::SplitFileError:
        return kSplitError + o.text;
    case OutcomeKind::SplitFailedCleanedUp:
        return kSplitError + o.text + "\nThe pieces it had written were deleted.";
    case OutcomeKind::ChangedWhileSplitting:
        return "File: " + o.path + "\nChanged while it was being split" +
               (o.recorded != o.computed ? ": its CRC-32 was " + o.recorded + " when measured and " + o.computed +
                                               " while its pieces were written"
                                         : std::string()) +
               ".\nThe pieces it had written were deleted." + kSplitNotSuccessful;
    case OutcomeKind::SplitStopped:
        return "Split cancelled.\nThe pieces it had written were deleted.";
    case OutcomeKind::NotAFirstPiece:
        return "No correct 1st spitted file name";
    case OutcomeKind::FirstPieceNotAFile:
        return "Not a normal file";
    case OutcomeKind::NotAPiece:
        return "File: " + o.path + "\nIs not a piece of a split set (_Split#000 to _Split#999, _Split#000.exe)";
    case OutcomeKind::TwoFirstPieces:
        return "Folder: " + o.path + "\nHolds both _Split#000 and _Split#000.exe, the first pieces of two sets.\n" +
               "Name the first piece of the set you mean.";
    case OutcomeKind::FirstPieceUnreadable:
        return "Can't read the first piece\n" + o.text;
    case OutcomeKind::PieceNumberTwice:
        return join_text::kFoundTwice + o.name + "\n" + o.other + kNothingWritten;
    case OutcomeKind::PieceMissing:
        return o.name + join_text::kIsMissing + kNothingWritten;
    case OutcomeKind::NoOriginalName:
        return "Can't get original file name\nProblems with File: _Split#000\n";
    case OutcomeKind::OutputIsAnInput:
        return kCatError + ("The catenated file " + o.path) + " would overwrite the input file " + o.other +
               ". Nothing was written.";
    case OutcomeKind::ReplaceOutput:
        return "The file " + o.path + " already exists.\nThe catenated file will replace it.\n\nReplace it?";
    case OutcomeKind::NoFreePlainName:
        return kCatError + ("Every name of the form " + o.name) + " is taken in " + o.path + ". Nothing was written.";
    case OutcomeKind::JoinFileError:
        return kCatError + o.text + UnfinishedText(o);
    case OutcomeKind::JoinStopped:
        return "Catenation cancelled." + UnfinishedText(o);
    case OutcomeKind::Joined:
        return "Catenated File: " + o.name + "  OK" + "\n\nCRC32 = Hex:" + o.computed;
    case OutcomeKind::PlainJoined:
        return "Catenated File: " + o.name + " done";
    case OutcomeKind::MismatchWritten:
        return MismatchText(o);
    }
    return {};
}

Icon OutcomeIcon(const Outcome& o) {
    switch (o.kind) {
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
    case OutcomeKind::JoinFileError:
    case OutcomeKind::MismatchWritten:
        return Icon::Hand;
    case OutcomeKind::SplitStopped:
    case OutcomeKind::JoinStopped:
    case OutcomeKind::Joined:
    case OutcomeKind::PlainJoined:
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
