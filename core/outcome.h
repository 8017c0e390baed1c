// What an engine found that the user must be told, as a kind and its values. The engines decide;
// each front end words it in its own way (a message box in the window, one line on the console).
#pragma once

#include <cstdint>
#include <string>

enum class OutcomeKind {
    MismatchKept,         // path: the existing file left untouched; other: where the mismatching result was kept;
                          // name, recorded and computed CRC texts
    OutputIsFolder,       // path: the output's name is taken by a folder
    OutputIsDanglingLink, // path: the output's name is a symbolic link to nothing
    OutputIsSpecial,      // path: the output's name is a device, pipe or socket
    OutputNameTooLong,    // path: the output's name is too long (or not allowed) for the file system there
    CannotCommitUnreplacing, // path: the output there cannot take its name without a rename that replaces;
                             // text: what the system said
    PieceNotRegular,      // path: a piece is a device, pipe, socket or folder; never opened
    DuplicatePiece,       // path, other: two files carry one piece number
    PieceSizeTooSmall,    // first: the split size; second: the bytes before the data (image and header)
    SplitFailedCleanedUp, // text: what failed; first: the pieces written and deleted again
    NotEnoughSpace,       // path: the folder written to; first: bytes needed; second: bytes free
    TooLargeForVolume,    // path: the folder written to; first: the largest file to write; second: its limit

    // The split's refusals, before it writes anything.
    LargeFileNotLarger,     // path: the large file; first: its size (0 when it has none); second: the split size
    NoSplitSize,            // the split size is 0 or less
    NameUnrecordable,       // path: the large file; name: the name its header would record
    SelfCatenateTooSmall,   // first: the split size; second: the catstub image's bytes; third: the header's
    TooManyPieces,          // the split would write more than 1000 pieces
    LargeFileIsAPiece,      // path: the large file, itself a piece in the folder written to
    StubImageMissing,       // the program carries no catstub image
    StubImageWrongSize,     // first: the carried image's bytes; second: the bytes catstub expects
    RecoveryPiecesTooSmall, // first: the pieces; second: the split size
    RecoveryNeedsMemory,    // first: the split size; second: the memory allowed
    RecoveryMemoryUnavailable, // the memory the recovery files' passes need could not be had
    CannotDeletePiece,      // name: an earlier piece; path: its folder
    LeftoverPieces,         // asked: path: the folder written to; first: the pieces of an earlier split there;
                            // name, other: the first and the last of them; second: its recovery files;
                            // recorded, computed: the first and the last of those
    // How a split that began ended, when not in success.
    SplitFileError,        // text: what failed; nothing was written
    ChangedWhileSplitting, // path: the large file; recorded: its CRC text when measured; computed: that of
                           // the data copied; first: the pieces written and deleted again
    SplitStopped,          // asked to stop: the pieces of this run were deleted

    // Finding a set's pieces, before anything is joined.
    NotAFirstPiece,       // path: the first piece named, which is not "_Split#000"
    FirstPieceNotAFile,   // path: the first piece named, which the file check refused
    NotAPiece,            // path: the file named as a piece, whose name is no piece's
    TwoFirstPieces,       // path: a folder holding both _Split#000 and _Split#000.exe
    FirstPieceUnreadable, // path: the first piece; text: what failed
    // A join's refusals, before it writes anything.
    PieceNumberTwice, // name, other: two entries of the catenation list with one piece number
    PieceMissing,     // name: the piece missing from the catenation list
    NoOriginalName,   // path: the first piece, whose header records no name a join can create
    OutputIsAnInput,  // path: the output; other: the input of the join it would overwrite
    ReplaceOutput,    // asked: path: the existing file the output would replace
    NoFreePlainName,  // name: the plain join's name form; path: the folder, ending in its separator
    // How a join that began ended. For the two that end it unfinished, path: the unfinished output
    // (empty when none was created); first: 1 when it could not be deleted; second: 1 when the output is a
    // stream (standard output), whose bytes written so far stay written.
    JoinFileError,   // text: what failed
    JoinStopped,     // asked to stop
    Joined,          // path: the output; name: its recorded name; recorded and computed: its CRC text, matching
    PlainJoined,     // path: the output; name: its name; first: the files joined
    MismatchWritten, // path: the output, which took its name; name, recorded and computed CRC texts
};

struct Outcome {
    OutcomeKind kind;
    std::string path;
    std::string other;
    std::string text;
    std::string name;
    std::string recorded, computed;
    uint64_t first = 0, second = 0, third = 0;
};

// An outcome told by its numbers alone.
inline Outcome CountedOutcome(OutcomeKind kind, uint64_t first, uint64_t second = 0, uint64_t third = 0) {
    Outcome outcome{kind};
    outcome.first = first;
    outcome.second = second;
    outcome.third = third;
    return outcome;
}
