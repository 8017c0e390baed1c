// Changing the process's current directory, where the engines create their outputs.
#pragma once

#include <cstdint>
#include <string>

// Makes path the current directory; false with the OS error code in *error when it cannot.
bool SetCurrentDirectoryTo(const std::string& path, uint32_t* error);

// A path the user typed, in the portable dialect, with what the system resolves itself (symbolic links,
// "..") resolved by the system and not as text: on POSIX "lnk/../f" is the f the kernel opens. The last
// part stays as typed, so a link there is the file given. Windows paths stay as typed.
std::string TypedPath(const std::string& typed);
