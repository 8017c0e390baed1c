// The header join: the pieces of a discovered set rejoined under the recorded name and checked.
#pragma once

#include "cat/cat_files.h"

// Reads the first piece's header into result, writes the data of every piece to the recorded name
// and compares the result's CRC-32 with the recorded one. Reports its own outcomes; file errors
// are thrown as FileException for CatFiles to report.
void HeaderCat(const CatJob& job, Messenger& messenger, CatResult& result);
