// Paths as the portable code spells them: '\\' between folders on every platform.
// Header-only; the fixed-buffer JoinPath allocates nothing, so catstub can use it.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

// path with every separator `from` turned into `to` on POSIX; Windows takes either as it is.
inline std::string WithSeparator(std::string path, [[maybe_unused]] char from, [[maybe_unused]] char to) {
#ifndef _WIN32
    for (char& c : path)
        if (c == from)
            c = to;
#endif
    return path;
}

// The system's spelling of a portable path: '/' between folders on POSIX.
inline std::string NativePath(std::string path) {
    return WithSeparator(std::move(path), '\\', '/');
}

// The portable spelling of a path the system (or a POSIX user) gave with '/'.
inline std::string PortablePath(std::string path) {
    return WithSeparator(std::move(path), '/', '\\');
}

// A root such as "C:\\" already ends in the '\\' that a name follows.
inline bool EndsInSeparator(const char* folder, size_t length) {
    return length > 0 && folder[length - 1] == '\\';
}

// folder + '\\' + name, with one '\\' between them, into a fixed buffer; false when it does not fit.
template <size_t N> bool JoinPath(char (&out)[N], const char* folder, const char* name) {
    size_t n = 0;
    auto append = [&](const char* text) {
        for (const char* p = text; *p; ++p) {
            if (n + 1 >= N)
                return false;
            out[n++] = *p;
        }
        return true;
    };
    size_t folderLength = 0;
    while (folder[folderLength])
        ++folderLength;
    if (!append(folder) || (!EndsInSeparator(folder, folderLength) && !append("\\")) || !append(name))
        return false;
    out[n] = 0;
    return true;
}

// folder + '\\' + name, with one '\\' between them.
inline std::string JoinPath(const std::string& folder, const std::string& name) {
    return EndsInSeparator(folder.c_str(), folder.size()) ? folder + name : folder + "\\" + name;
}
