// What an engine found that the user must be told, as a kind and its facts by name. The engines decide;
// each front end words it in its own way (a message box in the window, one line on the console).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

enum class OutcomeKind {
    MismatchKept,
    OutputIsFolder,
    OutputIsDanglingLink,
    OutputIsSpecial,
    OutputNameTooLong,
    CannotCommitUnreplacing,
    PieceNotRegular,
    DuplicatePiece,
    PieceSizeTooSmall,
    SplitFailedCleanedUp,
    NotEnoughSpace,
    TooLargeForVolume,
    LargeFileNotLarger,
    NoSplitSize,
    NameUnrecordable,
    SelfCatenateTooSmall,
    TooManyPieces,
    LargeFileIsAPiece,
    StubImageMissing,
    StubImageWrongSize,
    RecoveryPiecesTooSmall,
    RecoveryNeedsMemory,
    RecoveryMemoryUnavailable,
    CannotDeletePiece,
    LeftoverPieces,
    SplitFileError,
    ChangedWhileSplitting,
    SplitStopped,
    NotAFirstPiece,
    FirstPieceNotAFile,
    NotAPiece,
    TwoFirstPieces,
    FirstPieceUnreadable,
    PieceNumberTwice,
    PieceMissing,
    NoOriginalName,
    OutputIsAnInput,
    ReplaceOutput,
    NoFreePlainName,
    CatFileError,
    CatStopped,
    CatChecked,
    PlainCatDone,
    MismatchWritten,
    FileUnreadable,
    FileIsFolder,
};

// The facts of each kind, one struct a kind, in the order of OutcomeKind. Multi-string kinds are filled
// field by field, so that two strings cannot trade places unseen.
namespace told {

#define FENDRIK_OUTCOME_KIND(name) static constexpr OutcomeKind kKind = OutcomeKind::name

// The output's CRC-32 as the header records it and as the join computed it, in hexadecimal text.
struct CrcTexts {
    std::string recorded;
    std::string computed;
};

// What became of the output of a join that ended unfinished.
struct Unfinished {
    std::string path;       // the unfinished output; empty when none was created
    bool undeleted = false; // it could not be deleted
    bool stream = false;    // it is a stream (standard output), whose bytes written so far stay written
};

struct MismatchKept {
    FENDRIK_OUTCOME_KIND(MismatchKept);
    std::string outputPath; // the existing file, left untouched
    std::string keptPath;   // where the mismatching result was kept
    std::string name;       // the recorded name
    CrcTexts crc;
};
struct OutputIsFolder { // the output's name is taken by a folder
    FENDRIK_OUTCOME_KIND(OutputIsFolder);
    std::string path;
};
struct OutputIsDanglingLink { // the output's name is a symbolic link to nothing
    FENDRIK_OUTCOME_KIND(OutputIsDanglingLink);
    std::string path;
};
struct OutputIsSpecial { // the output's name is a device, pipe or socket
    FENDRIK_OUTCOME_KIND(OutputIsSpecial);
    std::string path;
};
struct OutputNameTooLong { // the output's name is too long (or not allowed) for the file system there
    FENDRIK_OUTCOME_KIND(OutputNameTooLong);
    std::string path;
};
// The output there cannot take its name without a rename that replaces.
struct CannotCommitUnreplacing {
    FENDRIK_OUTCOME_KIND(CannotCommitUnreplacing);
    std::string path;
    std::string reason; // what the system said
};
struct PieceNotRegular { // a piece is a device, pipe, socket or folder; never opened
    FENDRIK_OUTCOME_KIND(PieceNotRegular);
    std::string path;
};
struct DuplicatePiece { // two files carry one piece number
    FENDRIK_OUTCOME_KIND(DuplicatePiece);
    std::string path;
    std::string otherPath;
};
struct PieceSizeTooSmall {
    FENDRIK_OUTCOME_KIND(PieceSizeTooSmall);
    uint64_t splitSize = 0;
    uint64_t prefixBytes = 0; // the bytes before the data (image and header)
};
struct SplitFailedCleanedUp {
    FENDRIK_OUTCOME_KIND(SplitFailedCleanedUp);
    std::string reason;         // what failed
    uint64_t piecesDeleted = 0; // the pieces written and deleted again
};
struct NotEnoughSpace {
    FENDRIK_OUTCOME_KIND(NotEnoughSpace);
    std::string folder; // the folder written to
    uint64_t neededBytes = 0;
    uint64_t freeBytes = 0;
};
struct TooLargeForVolume {
    FENDRIK_OUTCOME_KIND(TooLargeForVolume);
    std::string folder;       // the folder written to
    uint64_t largestFile = 0; // the largest file to write
    uint64_t fileLimit = 0;   // the largest file the volume takes
};

// The split's refusals, before it writes anything.
struct LargeFileNotLarger {
    FENDRIK_OUTCOME_KIND(LargeFileNotLarger);
    std::string path;
    uint64_t fileSize = 0; // 0 when it has none
    uint64_t splitSize = 0;
};
struct NoSplitSize { // the split size is 0 or less
    FENDRIK_OUTCOME_KIND(NoSplitSize);
};
struct NameUnrecordable {
    FENDRIK_OUTCOME_KIND(NameUnrecordable);
    std::string path; // the large file
    std::string name; // the name its header would record
};
struct SelfCatenateTooSmall {
    FENDRIK_OUTCOME_KIND(SelfCatenateTooSmall);
    uint64_t splitSize = 0;
    uint64_t stubBytes = 0;   // the catstub image's bytes
    uint64_t headerBytes = 0; // the header's
};
struct TooManyPieces { // the split would write more than 1000 pieces
    FENDRIK_OUTCOME_KIND(TooManyPieces);
};
struct LargeFileIsAPiece { // the large file is itself a piece in the folder written to
    FENDRIK_OUTCOME_KIND(LargeFileIsAPiece);
    std::string path;
};
struct StubImageMissing { // the program carries no catstub image
    FENDRIK_OUTCOME_KIND(StubImageMissing);
};
struct StubImageWrongSize {
    FENDRIK_OUTCOME_KIND(StubImageWrongSize);
    uint64_t carriedBytes = 0;
    uint64_t expectedBytes = 0;
};
struct RecoveryPiecesTooSmall {
    FENDRIK_OUTCOME_KIND(RecoveryPiecesTooSmall);
    uint64_t pieces = 0;
    uint64_t splitSize = 0;
};
struct RecoveryNeedsMemory {
    FENDRIK_OUTCOME_KIND(RecoveryNeedsMemory);
    uint64_t splitSize = 0;
    uint64_t memoryAllowed = 0;
};
struct RecoveryMemoryUnavailable { // the memory the recovery files' passes need could not be had
    FENDRIK_OUTCOME_KIND(RecoveryMemoryUnavailable);
};
struct CannotDeletePiece {
    FENDRIK_OUTCOME_KIND(CannotDeletePiece);
    std::string name;   // an earlier piece
    std::string folder; // its folder
};
// Asked: the folder written to holds the pieces and recovery files of an earlier split.
struct LeftoverPieces {
    FENDRIK_OUTCOME_KIND(LeftoverPieces);
    std::string folder;
    uint64_t pieces = 0;
    std::string firstPiece, lastPiece;
    uint64_t recoveryFiles = 0;
    std::string firstRecoveryFile, lastRecoveryFile;
};

// How a split that began ended, when not in success.
struct SplitFileError { // nothing was written
    FENDRIK_OUTCOME_KIND(SplitFileError);
    std::string reason;
};
struct ChangedWhileSplitting {
    FENDRIK_OUTCOME_KIND(ChangedWhileSplitting);
    std::string path;           // the large file
    std::string measuredCrc;    // its CRC text when measured
    std::string copiedCrc;      // that of the data copied
    uint64_t piecesDeleted = 0; // the pieces written and deleted again
};
struct SplitStopped { // asked to stop: the pieces of this run were deleted
    FENDRIK_OUTCOME_KIND(SplitStopped);
};

// Finding a set's pieces, before anything is joined.
struct NotAFirstPiece { // the first piece named, which is not "_Split#000"
    FENDRIK_OUTCOME_KIND(NotAFirstPiece);
    std::string path;
};
struct FirstPieceNotAFile { // the first piece named, which the file check refused
    FENDRIK_OUTCOME_KIND(FirstPieceNotAFile);
    std::string path;
};
struct NotAPiece { // the file named as a piece, whose name is no piece's
    FENDRIK_OUTCOME_KIND(NotAPiece);
    std::string path;
};
struct TwoFirstPieces { // a folder holding both _Split#000 and _Split#000.exe
    FENDRIK_OUTCOME_KIND(TwoFirstPieces);
    std::string folder;
};
struct FirstPieceUnreadable {
    FENDRIK_OUTCOME_KIND(FirstPieceUnreadable);
    std::string path;
    std::string reason; // what failed
};

// A join's refusals, before it writes anything.
struct PieceNumberTwice { // two entries of the catenation list with one piece number
    FENDRIK_OUTCOME_KIND(PieceNumberTwice);
    std::string name;
    std::string otherName;
};
struct PieceMissing { // the piece missing from the catenation list
    FENDRIK_OUTCOME_KIND(PieceMissing);
    std::string name;
};
struct NoOriginalName { // the first piece, whose header records no name a join can create
    FENDRIK_OUTCOME_KIND(NoOriginalName);
    std::string path;
};
struct OutputIsAnInput {
    FENDRIK_OUTCOME_KIND(OutputIsAnInput);
    std::string outputPath;
    std::string inputPath; // the input of the join it would overwrite
};
struct ReplaceOutput { // asked: the existing file the output would replace
    FENDRIK_OUTCOME_KIND(ReplaceOutput);
    std::string path;
};
struct NoFreePlainName {
    FENDRIK_OUTCOME_KIND(NoFreePlainName);
    std::string nameForm; // the plain join's name form
    std::string folder;   // ending in its separator
};

// How a join that began ended.
struct CatFileError {
    FENDRIK_OUTCOME_KIND(CatFileError);
    std::string reason; // what failed
    Unfinished unfinished;
};
struct CatStopped { // asked to stop
    FENDRIK_OUTCOME_KIND(CatStopped);
    Unfinished unfinished;
};
struct CatChecked { // the CRC texts match
    FENDRIK_OUTCOME_KIND(CatChecked);
    std::string outputPath;
    std::string name; // its recorded name
    CrcTexts crc;
};
struct PlainCatDone {
    FENDRIK_OUTCOME_KIND(PlainCatDone);
    std::string outputPath;
    std::string name;
    uint64_t files = 0; // the files joined
};
struct MismatchWritten { // the output took its name
    FENDRIK_OUTCOME_KIND(MismatchWritten);
    std::string outputPath;
    std::string name;
    CrcTexts crc;
    bool stream = false; // the output is a stream (standard output): what was written to it stays
};

// A path named as a file to read that is none.
struct FileUnreadable { // its status cannot be read (missing, no access, ...)
    FENDRIK_OUTCOME_KIND(FileUnreadable);
    std::string path;
    uint32_t systemError = 0; // what the system said, as its error code
};
struct FileIsFolder {
    FENDRIK_OUTCOME_KIND(FileIsFolder);
    std::string path;
};

#undef FENDRIK_OUTCOME_KIND

using Facts =
    std::variant<MismatchKept, OutputIsFolder, OutputIsDanglingLink, OutputIsSpecial, OutputNameTooLong,
                 CannotCommitUnreplacing, PieceNotRegular, DuplicatePiece, PieceSizeTooSmall, SplitFailedCleanedUp,
                 NotEnoughSpace, TooLargeForVolume, LargeFileNotLarger, NoSplitSize, NameUnrecordable,
                 SelfCatenateTooSmall, TooManyPieces, LargeFileIsAPiece, StubImageMissing, StubImageWrongSize,
                 RecoveryPiecesTooSmall, RecoveryNeedsMemory, RecoveryMemoryUnavailable, CannotDeletePiece,
                 LeftoverPieces, SplitFileError, ChangedWhileSplitting, SplitStopped, NotAFirstPiece,
                 FirstPieceNotAFile, NotAPiece, TwoFirstPieces, FirstPieceUnreadable, PieceNumberTwice, PieceMissing,
                 NoOriginalName, OutputIsAnInput, ReplaceOutput, NoFreePlainName, CatFileError, CatStopped, CatChecked,
                 PlainCatDone, MismatchWritten, FileUnreadable, FileIsFolder>;

// Each struct stands at its kind's place, so that the kind is read off the variant.
template <class... Kinds> constexpr bool InKindOrder(const std::variant<Kinds...>*) {
    constexpr OutcomeKind kinds[] = {Kinds::kKind...};
    for (size_t i = 0; i < sizeof...(Kinds); ++i)
        if (static_cast<size_t>(kinds[i]) != i)
            return false;
    return true;
}
static_assert(InKindOrder(static_cast<const Facts*>(nullptr)), "told::Facts must follow OutcomeKind");

} // namespace told

class Outcome {
public:
    template <class F, class = std::enable_if_t<std::is_constructible_v<told::Facts, F&&>>>
    Outcome(F&& facts) : facts_(std::forward<F>(facts)) {}
    // Out of line, so that the variant's copies are made once and not in every file that passes outcomes on.
    Outcome(const Outcome&);
    Outcome(Outcome&&) noexcept;
    Outcome& operator=(const Outcome&);
    Outcome& operator=(Outcome&&) noexcept;
    ~Outcome();

    OutcomeKind Kind() const { return static_cast<OutcomeKind>(facts_.index()); }
    const told::Facts& Facts() const { return facts_; }
    // The facts of the kind it is; asking for another kind is a fault of the caller.
    template <class F> const F& As() const { return std::get<F>(facts_); }

private:
    told::Facts facts_;
};
