// Full paths of outputs and inputs, compared the way Windows compares names.
#include "cat/output_path.h"

#include "platform/file.h"
#include "platform/path_text.h"

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

} // namespace

std::string OutputPathFor(const std::string& bareName) {
    return JoinPath(CurrentDirectory(), bareName);
}

std::string FullPathOf(const std::string& path) {
    std::string prefix; // a drive ("C:") or nothing
    std::string rest;
    const std::string current = CurrentDirectory();
    if (HasDrive(path)) {
        prefix = path.substr(0, 2);
        rest = path.substr(2);
        if (rest.empty() || !IsPathSeparator(rest[0]))
            rest = (HasDrive(current) && Upper(current[0]) == Upper(path[0]) ? current.substr(2) : std::string()) +
                   "\\" + rest;
    } else if (!path.empty() && IsPathSeparator(path[0])) {
        // Rooted on the current drive.
        prefix = HasDrive(current) ? current.substr(0, 2) : std::string();
        rest = path;
    } else {
        prefix = HasDrive(current) ? current.substr(0, 2) : std::string();
        rest = (HasDrive(current) ? current.substr(2) : current) + "\\" + path;
    }

    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : rest) {
        if (IsPathSeparator(c))
            flush();
        else
            part += c;
    }
    flush();

    std::string full = prefix;
    for (const std::string& p : parts)
        full += "\\" + p;
    return parts.empty() ? full + "\\" : full;
}

bool SamePlace(const std::string& a, const std::string& b) {
    const std::string fa = FullPathOf(a);
    const std::string fb = FullPathOf(b);
    if (fa.size() != fb.size())
        return false;
    for (size_t i = 0; i < fa.size(); ++i)
        if (Upper(fa[i]) != Upper(fb[i]))
            return false;
    return true;
}

const std::string* InputAt(const std::string& outputPath, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs)
        if (SamePlace(outputPath, input))
            return &input;
    return nullptr;
}
