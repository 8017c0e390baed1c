// The portable code separates folders with '\\'; POSIX wants '/'.
#pragma once

#include <string>

inline std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return native;
}
