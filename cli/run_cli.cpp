// Dispatch to the subcommands; usage on stderr for a wrong command line.
#include "cli/run_cli.h"

#include <ostream>

#include "cli/arguments.h"
#include "cli/command_support.h"

// FENDRIK_VERSION comes from the CMake project's version.

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
                       "checking the CRC-32 that the first piece records. With PAR2 recovery files beside the pieces\n"
                       "(_Split#.par2, _Split#.vol*.par2), verify names each damaged or missing piece and\n"
                       "repair and join rebuild them.\n"
                    << kUsage
                    << "SIZE: bytes, a number with K, M or G (powers of 1024), or floppy (1457664), cd (700M),\n"
                       "      dvd (4700000000), fat32 (4294967295), email (25000000). Default: floppy.\n"
                       "split -: splits standard input; --name NAME is the name the first piece records. The\n"
                       "      CRC-32 is known only at the end: when its text is shorter than 8 digits (1 stream\n"
                       "      in 16), every piece is rewritten from the pieces, each byte read and written once more,\n"
                       "      and recovery files read the pieces once more. The free space, the count of pieces and\n"
                       "      the recovery files cannot be checked in advance: a split that fails on them deletes\n"
                       "      its pieces.\n"
                       "join -o -: the joined data on standard output, and nothing else there; a CRC-32 that does\n"
                       "      not match is told on stderr (exit status 1). Pieces are rebuilt first only with --yes.\n"
                       "--quiet: nothing printed on success, by every subcommand.\n"
                       "info --json, verify --json: names are UTF-8; a byte that is not UTF-8 is written as \\ufffd.\n"
                       "Exit status: 0 success, 1 set incomplete or CRC mismatch (with recovery files: damaged but\n"
                       "rebuildable), 2 wrong usage, 3 other failure, 4 damaged beyond what the recovery files\n"
                       "can rebuild.\n";
        return kExitOk;
    case Command::Version:
        streams.out << "fendrik " << FENDRIK_VERSION << "\n";
        return kExitOk;
    case Command::Split:
        return options.path == kStandardStream ? RunSplitStream(options, console, messenger)
                                               : RunSplit(options, console, messenger);
    case Command::Join:
        return RunJoin(options, console, messenger);
    case Command::Verify:
        return options.json ? RunVerifyJson(options, console, messenger) : RunVerify(options, console, messenger);
    case Command::Repair:
        return RunRepair(options, console, messenger);
    case Command::Info:
        return RunInfo(options, console, messenger);
    }
    return kExitFailure;
}
