// Directory search on Win32: FindFirstFileA and friends, in their order.
#include <windows.h>

#include "platform/find_files.h"
#include "platform/owned_handles.h"

std::vector<FoundFile> FindFiles(const std::string& pattern) {
    std::vector<FoundFile> found;
    const size_t slash = pattern.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);

    WIN32_FIND_DATAA data;
    SearchHandle search(::FindFirstFileA(pattern.c_str(), &data));
    if (!search.IsValid())
        return found;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        FoundFile file;
        file.name = name;
        file.path = folder + name;
        file.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        file.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        found.push_back(std::move(file));
    } while (::FindNextFileA(search.Get(), &data));
    return found;
}
