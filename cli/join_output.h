// Where join writes: a file of the recorded name in the current or -C folder, a file of the user's
// choice (-o FILE), or standard output (-o -), which then carries the data and nothing else.
#pragma once

#include "cat/cat_files.h"
#include "cli/arguments.h"
#include "cli/command_support.h"
#include "platform/file.h"

class JoinOutput {
public:
    // With -o -, stdout carries the data from here on: the console's results go to stderr.
    JoinOutput(const CliOptions& options, Console& console);

    bool ToStream() const { return toStream_; }
    // Rebuilding pieces for standard output is agreed to by --yes alone: the terminal, if any, is busy with
    // the data. False after telling why.
    bool MayRebuild(const std::string& pieces, size_t count, Messenger& messenger) const;
    // Enters the folder the output goes to and points the job at it; false after telling why.
    bool Prepare(CatJob& job, Messenger& messenger);
    bool Prepared() const { return prepared_; }

private:
    bool PrepareFor(CatJob& job, Messenger& messenger);

    const CliOptions& options_;
    bool toStream_;
    bool prepared_ = false;
    OutputFolder folder_;
    File stream_;
};
