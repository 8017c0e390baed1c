#include "ui/list_lines.h"

#include "core/piece_name.h"
#include "platform/file.h"

std::string PieceLine(const std::string& path, uint64_t size) {
    return NamePart(path) + "\t " + std::to_string(size) + " bytes";
}

std::string SelectionLine(const std::string& path) {
    std::string line = NamePart(path) + "\t";
    const PathStatus status = GetPathStatus(path);
    if (status.ok)
        line += std::to_string(static_cast<long long>(status.size)) + " bytes";
    return line;
}
