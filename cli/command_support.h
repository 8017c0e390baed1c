// What the subcommands share: exit statuses, paths as the engines spell them,
// the output folder, and the catstub image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/arguments.h"
#include "cli/console.h"

enum ExitStatus : int {
    kExitOk = 0,
    kExitInconsistent = 1, // CRC mismatch or missing piece
    kExitUsage = 2,
    kExitFailure = 3,        // file errors, refusals, a stop
    kExitNotRebuildable = 4, // pieces damaged or missing beyond what the recovery files can rebuild
};

// A path from the command line made full, with '\\' between its parts as the engines expect and what the
// system resolves (links, "..") resolved by the system.
std::string EnginePath(const std::string& argument);

// Makes the -C folder the current directory, where the engines create their outputs, until it goes away.
class OutputFolder {
public:
    OutputFolder() = default;
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    // False, after telling why, when the folder cannot be entered. An empty folder stays where it is.
    bool Enter(const std::string& folder, Messenger& messenger);
    bool Entered() const { return !saved_.empty(); }

private:
    std::string saved_;
};

// The catstub image carried by this program: null with size 0 when it was built without one.
struct StubImage {
    const uint8_t* data;
    size_t size;
};
StubImage CarriedStubImage();

int RunSplit(const CliOptions& options, Console& console, Messenger& messenger);
// split -: the data of standard input.
int RunSplitStream(const CliOptions& options, Console& console, Messenger& messenger);
int RunJoin(const CliOptions& options, Console& console, Messenger& messenger);
int RunVerify(const CliOptions& options, Console& console, Messenger& messenger);
int RunVerifyJson(const CliOptions& options, Console& console, Messenger& messenger);
int RunRepair(const CliOptions& options, Console& console, Messenger& messenger);
int RunInfo(const CliOptions& options, Console& console, Messenger& messenger);
