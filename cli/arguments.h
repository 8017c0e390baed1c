// The command line: which subcommand, on what, with which options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/size_arg.h"

enum class Command { Split, Join, Verify, Repair, Info, Help, Version };

struct CliOptions {
    Command command = Command::Help;
    std::string path;              // FILE for split, PIECE for the others, as given
    std::optional<int64_t> size;   // --size
    std::optional<int> count;      // --count
    bool noCrc = false;            // --no-crc: no header, as "Without CRC"
    bool selfCat = false;          // --self-cat: "_Split#000.exe", as "Self Catenate"
    std::string directory;         // -C: where the output goes; empty for the current directory
    bool yes = false;              // --yes: Yes to every question
    bool quiet = false;            // --quiet
    bool json = false;             // --json
    RecoveryRequest recovery;      // --recovery: none unless given
    std::optional<int64_t> memory; // --memory: the recovery files' memory cap
    std::string name;              // --name: what the header records for the data of standard input (split -)
    std::string output;            // -o: join's output file, "-" for standard output; empty when not given
};

// The path that stands for standard input (split) and standard output (join -o).
inline constexpr char kStandardStream[] = "-";

// The options, or the text that says what is wrong with the command line.
Parsed<CliOptions> ParseArguments(const std::vector<std::string>& args);

extern const char kUsage[];
