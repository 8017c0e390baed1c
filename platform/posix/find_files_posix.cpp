// Directory search on POSIX, matching names the way the Windows search does:
// '*' and '?' wildcards, letter case ignored.
#include <dirent.h>
#include <sys/stat.h>

#include <cctype>

#include "platform/file.h"
#include "platform/find_files.h"
#include "platform/owned_handles.h"
#include "platform/path_text.h"

namespace {

bool WildcardMatch(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        const unsigned char p = static_cast<unsigned char>(*pattern);
        const unsigned char n = static_cast<unsigned char>(*name);
        if (p == '*') {
            star = pattern++;
            resume = name;
        } else if (p == '?' || (p && std::tolower(p) == std::tolower(n))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == 0;
}

} // namespace

std::vector<FoundFile> FindFiles(const std::string& pattern) {
    std::vector<FoundFile> found;
    const size_t slash = pattern.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash);
    const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    const std::string nativeFolder = slash == std::string::npos ? "." : (folder.empty() ? "/" : NativePath(folder));

    const DirectoryHandle dir(::opendir(nativeFolder.c_str()));
    if (!dir.IsValid())
        return found;
    while (const dirent* entry = ::readdir(dir.Get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !WildcardMatch(namePattern.c_str(), name.c_str()))
            continue;
        FoundFile file;
        file.name = PortablePath(name);
        file.path = slash == std::string::npos ? file.name : folder + "\\" + file.name;
        struct stat st;
        const std::string nativeEntry = (nativeFolder == "/" ? "" : nativeFolder) + "/" + name;
        // Listed, an entry that cannot be examined would show a size of 0 that no file has.
        if (::stat(nativeEntry.c_str(), &st) != 0)
            continue;
        file.isFolder = S_ISDIR(st.st_mode);
        file.isSpecial = !file.isFolder && !S_ISREG(st.st_mode);
        file.size = file.isFolder ? 0 : static_cast<uint64_t>(st.st_size);
        found.push_back(std::move(file));
    }
    return found;
}
