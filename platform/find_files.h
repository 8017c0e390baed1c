// Directory search by pattern, as the Windows search matches it: the name
// part may hold '*' and '?' and letter case does not count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FoundFile {
    std::string name; // without folder
    std::string path; // folder of the pattern + '\\' + name
    uint64_t size = 0;
    bool isFolder = false;
    bool isSpecial = false; // neither a file nor a folder: a device or a pipe (POSIX only)
};

// Every match in the order the platform returns them; empty when nothing
// matches or the folder cannot be searched. On POSIX an entry that cannot be
// examined (gone meanwhile, a link that leads nowhere) is no match: its size is unknown.
std::vector<FoundFile> FindFiles(const std::string& pattern);
