// Checks that a path names a file, and its size, telling the user what is wrong.
#pragma once

#include <cstdint>
#include <string>

#include "core/messages.h"

// True when path names an existing entry that is not a folder.
bool CheckFile(const std::string& path, bool showMessages, Messenger& messenger);

// The file's real size in bytes, or -1 when CheckFile fails.
int64_t GetFileSize(const std::string& path, bool showMessages, Messenger& messenger);

// prefix + "\n\n" + the system's text for code, with the exclamation icon.
void ShowSystemError(Messenger& messenger, uint32_t code, const std::string& prefix);
