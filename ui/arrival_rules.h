// Where a file goes that arrives by drag and drop or on the command line:
// which half of the dialog takes it, and which first piece stands for a piece
// of a set. Window-free, so that native tests reach it.
#pragma once

#include <optional>
#include <string>

enum class DialogHalf { Split, Catenate };

// A rectangle in the dialog's client coordinates; right and bottom lie outside.
struct ClientBox {
    long left, top, right, bottom;
};

// The half whose group box holds the drop point; outside both boxes (the
// margins, the "Dismiss" button), the half whose box is nearer, upwards or downwards.
DialogHalf HalfAt(long x, long y, const ClientBox& splitBox, const ClientBox& catBox);

// True when the name part of path names a piece of a set: "_Split#" and three
// digits, or "_Split#000.exe", in any letter case (as Windows finds it).
bool IsPieceOfSet(const std::string& path);

// The half that takes a file named on the command line: the catenate half for
// a piece of a set, the split half for any other file.
DialogHalf HalfForStartFile(const std::string& path);

// For a piece of a set other than its first piece: the path of that set's
// "_Split#000" beside it, to be taken when it exists. Empty for other names.
std::optional<std::string> FirstPieceOfSet(const std::string& path);
