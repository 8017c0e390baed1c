// The whole command in one call, for main() and for the tests.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

// Runs "fendrik args..." (args without the program name) and returns the exit status:
// 0 success, 1 inconsistent or incomplete set, 2 wrong usage, 3 any other failure.
int RunCli(const std::vector<std::string>& args, CliStreams& streams);
