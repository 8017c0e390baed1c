// CatFiles: rejoins the catenation list, as a checked header cat (HeaderCat) or a plain byte-for-byte cat
// (PlainCat). In code the operation is "cat" throughout, after CatFiles: its job, result, steps and outcomes
// (CatStopped, CatFileError, CatChecked, PlainCatDone). "join" stays the command line's verb and "catenate"
// the window's word, as each tells the user.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "core/messages.h"
#include "platform/file.h"

struct CatJob {
    std::vector<std::string> paths;         // the catenation list, join order
    bool explicitSelection = false;         // first-piece path is the marker ";"
    std::string plainNameFormat = "File%i"; // string-table entry 2, passed in by the dialog
    std::function<int()> drawNumber;        // 0..32767; default: srand(time) once per join, then rand()
    ProgressCallback onProgress;            // bytes written of the inputs' total; false stops the join
    std::optional<bool> replaceAnswer;      // the replace question, asked before a rebuild (DecideCatTarget)
    // Where the joined data goes instead of a file of the recorded (or plain) name in the current directory:
    std::string outputName; // non-empty: this bare name, created in the current directory
    File* stream = nullptr; // non-null: this open stream (standard output); no file is created or replaced
};

struct CatResult {
    bool headerJoin = false;
    bool headerRead = false; // recordedName/recordedCrc were set by this run
    std::string recordedName, recordedCrc;
    bool written = false;     // an output file was completed and verified (header join) or joined (plain)
    std::string outputPath;   // full path of the output: current directory + '\\' + name
    uint64_t outputSize = 0;  // the output's bytes when written, else 0
    bool crcMismatch = false; // the rejoined file was written but its CRC-32 differs from the recorded one
    bool stopped = false;     // the front end stopped it; the unfinished output was deleted
    std::string partialPath;  // the unfinished output (name + ".partial") once it was created
    std::string keptPath;     // a mismatching result kept beside the existing file it did not replace
};

// The whole run: the mode choice, header or plain join, the CRC check, every outcome. A header join
// happens when entry 0 is a first piece, "_Split#000" or "_Split#000.exe" (whose header follows the
// catstub image) in any letter case, and the list is not an explicit selection.
CatResult CatFiles(const CatJob& job, Messenger& messenger);
