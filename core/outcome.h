// What an engine found that the user must be told, as a kind and its values. The engines decide;
// each front end words it in its own way (a message box in the window, one line on the console).
#pragma once

#include <cstdint>
#include <string>

enum class OutcomeKind {
    MismatchKept,            // path: the existing file left untouched; other: where the mismatching result was kept;
                             // name, recorded and computed CRC texts
    OutputIsFolder,          // path: the output's name is taken by a folder
    OutputIsDanglingLink,    // path: the output's name is a symbolic link to nothing
    OutputIsSpecial,         // path: the output's name is a device, pipe or socket
    OutputNameTooLong,       // path: the output's name is too long (or not allowed) for the file system there
    CannotCommitUnreplacing, // path: the output there cannot take its name without a rename that replaces;
                             // text: what the system said
    PieceNotRegular,         // path: a piece is a device, pipe, socket or folder; never opened
    DuplicatePiece,          // path, other: two files carry one piece number
    PieceSizeTooSmall,       // first: the split size; second: the bytes before the data (image and header)
    SplitFailedCleanedUp,    // text: what failed; first: the pieces written and deleted again
    NotEnoughSpace,          // path: the folder written to; first: bytes needed; second: bytes free
    TooLargeForVolume,       // path: the folder written to; first: the largest file to write; second: its limit
};

struct Outcome {
    OutcomeKind kind;
    std::string path;
    std::string other;
    std::string text;
    std::string name;
    std::string recorded, computed;
    uint64_t first = 0, second = 0;
};
