// Everything catstub tells the user: the texts and the three kinds of box.
#pragma once

#include "stub/stub_text.h"

namespace stub_text {
constexpr const char kConfirm[] = "Self Catenate Splited Files?";
constexpr const char kCantOpenSplitFile[] = "Can't open split file";
constexpr const char kCantOpenFile[] = "Can't open file:\n";
constexpr const char kDeleteAndStartAgain[] = "\nDelete and start again";
constexpr const char kCrcOk[] = "CRC check OK. Catenated File OK";
constexpr const char kCrcFailed[] = "CRC check FAILED. Catenated File inconsistent";
constexpr const char kNoUsableName[] = "_Split#000.exe holds no usable file name";
constexpr const char kNothingWritten[] = "Nothing was written.";
constexpr const char kCantRead[] = "Can't read split file:\n";
constexpr const char kCantWrite[] = "Can't write file:\n";
constexpr const char kUnfinished[] = "\nThe unfinished file ";
constexpr const char kWasDeleted[] = " was deleted.";
constexpr const char kPartialSuffix[] = ".partial";
constexpr const char kCantSearch[] = "Can't search for split files";
constexpr const char kFoundTwice[] = "Two split files carry the same number:\n";
constexpr const char kIsMissing[] = " is missing: the set cannot be catenated without it.";
} // namespace stub_text

// "User Confirm", OK and Cancel, question icon; true only for OK.
bool AskToCatenate();
// "Fatal Error", stop icon, OK only.
void ShowFatal(const char* text);
// "Info", information icon, OK only.
void ShowInfo(const char* text);
// The system's own text for a Win32 error code, as the system gives it.
void AppendSystemText(StubText& text, unsigned long code);
