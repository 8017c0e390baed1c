// Paths as the portable code spells them: '\\' between folders on every platform.
// Header-only; the fixed-buffer JoinPath allocates nothing, so catstub can use it.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

// The portable dialect on POSIX swaps '\\' and '/': '\\' separates folders, and '/', which no POSIX name can
// hold, stands for a '\\' that is a character of a name there. Swapping is its own inverse, so a name such as
// "a\\b.bin" goes through the engines and comes back to the system unchanged. Windows takes either as it is.
inline std::string SwappedSeparators(std::string path) {
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\')
            c = '/';
        else if (c == '/')
            c = '\\';
#endif
    return path;
}

// The system's spelling of a portable path: '/' between folders on POSIX.
inline std::string NativePath(std::string path) {
    return SwappedSeparators(std::move(path));
}

// The portable spelling of a path or name the system (or a POSIX user) gave.
inline std::string PortablePath(std::string path) {
    return SwappedSeparators(std::move(path));
}

// Whether c separates folders in a portable path: on Windows '/' does too.
inline bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '\\';
#endif
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
