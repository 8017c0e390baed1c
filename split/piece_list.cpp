// Lists the pieces beside the large file, whichever split wrote them.
#include "split/piece_list.h"

#include "core/piece_name.h"

std::vector<FoundFile> PiecesBeside(const std::string& largeFile) {
    // A name without any '\\' lies in the current directory, where a typed
    // bare name was opened; "\\big.bin" (a leading '\\') means the drive's root.
    const size_t slash = largeFile.rfind('\\');
    const std::string pattern =
        slash == std::string::npos ? std::string(kPiecePattern) : largeFile.substr(0, slash) + "\\" + kPiecePattern;
    return FindFiles(pattern);
}
