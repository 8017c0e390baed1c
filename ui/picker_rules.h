// The pickers' rules that need no window: the filter buffer, the path the
// selection hook records, and the click order of an ordered multi-file pick.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

constexpr size_t kFilterBufferSize = 256;

// A filter in the platform's form: pairs of zero-terminated texts (description,
// pattern) ended by an extra zero. An empty filter gives "All (*.*)" / "*.*".
// The caller's filter is copied up to and including the second of two zeros in
// a row; one that does not fit is cut and still ends with two zeros.
std::array<char, kFilterBufferSize> MakeFilterBuffer(const std::string& filter);

// The path the selection hook records: folder (trailing backslashes dropped),
// a backslash, and the file-name field's text, or its first quoted name when
// the field lists several.
std::string SelectedPath(std::string folder, const std::string& spec);

// Appends path to the selection record unless it is there already (exact comparison).
void RecordSelection(std::vector<std::string>& record, const std::string& path);

// The full paths of a confirmed multiple-selection dialog, in the order the user
// clicked them. buffer holds the dialog's result: the folder, then each name,
// zero-terminated, ended by an empty name; or one full path when one file was
// chosen. Clicked files come in the order they were first recorded, except that
// the last of them goes last; the files the record never saw (the inside of a
// Shift-click range, typed names) come just before it, sorted without regard to
// case. In a drive root ("C:\") the paths get one backslash, not two.
std::vector<std::string> OrderPickedFiles(const char* buffer, size_t size, const std::vector<std::string>& record);
