// Changing the process's current directory, where the engines create their outputs.
#pragma once

#include <cstdint>
#include <string>

// Makes path the current directory; false with the OS error code in *error when it cannot.
bool SetCurrentDirectoryTo(const std::string& path, uint32_t* error);
