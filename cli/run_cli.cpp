// Dispatch to the subcommands; usage on stderr for a wrong command line.
#include "cli/run_cli.h"

#include <ostream>

#include "cli/arguments.h"
#include "cli/command_support.h"

#ifndef FENDRIK_VERSION
#define FENDRIK_VERSION "1.0"
#endif

int RunCli(const std::vector<std::string>& args, CliStreams& streams) {
    const Parsed<CliOptions> parsed = ParseArguments(args);
    if (const std::string* error = std::get_if<std::string>(&parsed)) {
        streams.err << "fendrik: " << *error << "\n" << kUsage;
        return kExitUsage;
    }
    const CliOptions& options = std::get<CliOptions>(parsed);
    Console console(streams, options.quiet);
    ConsoleMessenger messenger(console, options.yes);
    switch (options.command) {
    case Command::Help:
        streams.out << "fendrik: splits a large file into pieces _Split#000, _Split#001, ... and joins them again,\n"
                       "checking the CRC-32 that the first piece records.\n"
                    << kUsage
                    << "SIZE: bytes, a number with K, M or G (powers of 1024), or floppy (1457664), cd (700M),\n"
                       "      dvd (4700000000), fat32 (4294967295), email (25000000). Default: floppy.\n"
                       "info --json: names are UTF-8; a byte that is not UTF-8 is written as \\ufffd.\n"
                       "Exit status: 0 success, 1 set incomplete or CRC mismatch, 2 wrong usage, 3 other failure.\n";
        return kExitOk;
    case Command::Version:
        streams.out << "fendrik " << FENDRIK_VERSION << "\n";
        return kExitOk;
    case Command::Split:
        return RunSplit(options, console, messenger);
    case Command::Join:
        return RunJoin(options, console, messenger);
    case Command::Verify:
        return RunVerify(options, console, messenger);
    case Command::Info:
        return RunInfo(options, console, messenger);
    }
    return kExitFailure;
}
