// Rules for files that arrive by drag and drop or on the command line.
#include "ui/arrival_rules.h"

#include "core/piece_name.h"
#include "platform/file.h"

namespace {

bool Holds(const ClientBox& box, long x, long y) {
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

long VerticalDistance(const ClientBox& box, long y) {
    if (y < box.top)
        return box.top - y;
    if (y >= box.bottom)
        return y - box.bottom + 1;
    return 0;
}

PieceNameParts PartsOf(const std::string& path) {
    const std::string name = NamePart(path);
    return ParsePieceName(name.data(), name.size());
}

} // namespace

DialogHalf HalfAt(long x, long y, const ClientBox& splitBox, const ClientBox& catBox) {
    if (Holds(catBox, x, y))
        return DialogHalf::Catenate;
    if (Holds(splitBox, x, y))
        return DialogHalf::Split;
    return VerticalDistance(catBox, y) < VerticalDistance(splitBox, y) ? DialogHalf::Catenate : DialogHalf::Split;
}

bool IsPieceOfSet(const std::string& path) {
    return PartsOf(path).number >= 0;
}

DialogHalf HalfForStartFile(const std::string& path) {
    return IsPieceOfSet(path) ? DialogHalf::Catenate : DialogHalf::Split;
}

std::optional<std::string> FirstPieceOfSet(const std::string& path) {
    const PieceNameParts parts = PartsOf(path);
    // Also "_split#000": the set's first piece is taken in its one right spelling.
    if (parts.number < 0 || NamePart(path) == kFirstPieceName)
        return std::nullopt;
    const std::string folder = FolderPart(path);
    // A bare name has no folder part: its set lies in the current directory.
    return folder.empty() && path.find('\\') == std::string::npos ? std::string(kFirstPieceName)
                                                                  : folder + "\\" + kFirstPieceName;
}
