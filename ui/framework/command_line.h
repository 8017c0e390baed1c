// The files named on the program's command line ("Open with", "Send to", a
// file dropped on the program's icon), as full paths for the A functions.
#pragma once

#include <string>
#include <vector>

// Quotes as Windows gives them; a name that the A functions cannot spell
// (outside the active code page) is kept with '?' and then found missing.
std::vector<std::string> CommandLineFiles();
