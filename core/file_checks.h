// Checks that a path names a file, and its size, telling the user what is wrong.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/messages.h"

// Why path names no file to read (FileUnreadable, FileIsFolder); empty when it names one.
std::optional<Outcome> FileProblem(const std::string& path);

// True when path names an existing entry that is not a folder; the window's wording of FileProblem.
bool CheckFile(const std::string& path, bool showMessages, Messenger& messenger);

// The file's real size in bytes, or -1 when CheckFile fails.
int64_t GetFileSize(const std::string& path, bool showMessages, Messenger& messenger);

// prefix + "\n\n" + the system's text for code, with the exclamation icon.
void ShowSystemError(Messenger& messenger, uint32_t code, const std::string& prefix);
