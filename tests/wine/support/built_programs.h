// Where the Windows tests find the programs the build made.
#pragma once

#include <string>

// A Unix path as Windows sees it under Wine: /x/y is Z:\x\y.
std::string WindowsPathOf(const std::string& unixPath);

// The program called name from FENDRIK_BIN when the test runner sets it, else
// at buildUnixPath, where this build put it.
std::string BuiltProgramPath(const char* name, const char* buildUnixPath);
