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

bool EndsWithExeNoCase(const std::string& name) {
    static const char kExe[] = ".exe";
    if (name.size() < 4)
        return false;
    for (size_t i = 0; i < 4; ++i) {
        char c = name[name.size() - 4 + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kExe[i])
            return false;
    }
    return true;
}

// The piece number of a name with or without ".exe"; -1 for other names.
int PieceNumberWithExe(const std::string& path) {
    std::string name = NamePart(path);
    if (EndsWithExeNoCase(name))
        name.resize(name.size() - 4);
    return PieceNumberOf(name.data(), name.size());
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
    return PieceNumberWithExe(path) >= 0;
}

DialogHalf HalfForStartFile(const std::string& path) {
    return IsPieceOfSet(path) ? DialogHalf::Catenate : DialogHalf::Split;
}

std::optional<std::string> FirstPieceOfSet(const std::string& path) {
    if (!IsPieceOfSet(path) || NamePart(path) == kFirstPieceName)
        return std::nullopt;
    const std::string folder = FolderPart(path);
    // A bare name has no folder part: its set lies in the current directory.
    return folder.empty() && path.find('\\') == std::string::npos ? std::string(kFirstPieceName)
                                                                  : folder + "\\" + kFirstPieceName;
}
