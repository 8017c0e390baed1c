// Where the Windows tests find the programs the build made.
#include "tests/wine/support/built_programs.h"

#include <cstdlib>

std::string WindowsPathOf(const std::string& unixPath) {
    std::string path = unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

std::string BuiltProgramPath(const char* name, const char* buildUnixPath) {
    const char* bin = std::getenv("FENDRIK_BIN");
    if (bin != nullptr && *bin != 0)
        return WindowsPathOf(std::string(bin) + "/" + name);
    return WindowsPathOf(buildUnixPath);
}
