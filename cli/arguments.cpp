// Parsing the command line: each subcommand takes only its own options.
#include "cli/arguments.h"

namespace {

enum Allowed : unsigned {
    kSize = 1,
    kCount = 2,
    kNoCrc = 4,
    kSelfCat = 8,
    kDirectory = 16,
    kYes = 32,
    kQuiet = 64,
    kJson = 128,
    kRecovery = 256,
    kMemory = 512,
};

struct Subcommand {
    const char* name;
    Command command;
    unsigned allowed;
};

constexpr Subcommand kSubcommands[] = {
    {"split", Command::Split, kSize | kCount | kNoCrc | kSelfCat | kDirectory | kYes | kQuiet | kRecovery | kMemory},
    {"join", Command::Join, kDirectory | kYes | kQuiet},
    {"verify", Command::Verify, kQuiet},
    {"repair", Command::Repair, kQuiet},
    {"info", Command::Info, kJson},
};

struct OptionName {
    const char* name;
    Allowed flag;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"--size", kSize, true},         {"--count", kCount, true}, {"--no-crc", kNoCrc, false},
    {"--self-cat", kSelfCat, false}, {"-C", kDirectory, true},  {"--yes", kYes, false},
    {"--quiet", kQuiet, false},      {"--json", kJson, false},  {"--recovery", kRecovery, true},
    {"--memory", kMemory, true},
};

} // namespace

const char kUsage[] = "usage: fendrik split FILE [--size SIZE | --count N] [--no-crc | --self-cat] [-C DIR] [--yes] "
                      "[--quiet]\n"
                      "                     [--recovery N | --recovery P%] [--memory SIZE]\n"
                      "       fendrik join PIECE [-C DIR] [--yes] [--quiet]\n"
                      "       fendrik verify PIECE [--quiet]\n"
                      "       fendrik repair PIECE [--quiet]\n"
                      "       fendrik info PIECE [--json]\n"
                      "       fendrik --help | --version\n";

Parsed<CliOptions> ParseArguments(const std::vector<std::string>& args) {
    CliOptions options;
    if (args.empty())
        return std::string("no subcommand given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        options.command = Command::Help;
        return options;
    }
    if (args[0] == "--version") {
        options.command = Command::Version;
        return options;
    }
    const Subcommand* sub = nullptr;
    for (const Subcommand& candidate : kSubcommands)
        if (args[0] == candidate.name)
            sub = &candidate;
    if (!sub)
        return "unknown subcommand \"" + args[0] + "\"";
    options.command = sub->command;

    unsigned seen = 0;
    bool havePath = false;
    bool endOfOptions = false;
    for (size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        if (endOfOptions || arg.empty() || arg[0] != '-' || arg == "-") {
            if (havePath)
                return "more than one file given: \"" + options.path + "\" and \"" + arg + "\"";
            options.path = arg;
            havePath = true;
            continue;
        }
        if (arg == "--") {
            endOfOptions = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        const OptionName* option = nullptr;
        for (const OptionName& candidate : kOptions)
            if (arg == candidate.name)
                option = &candidate;
        if (!option || (sub->allowed & option->flag) == 0)
            return "\"" + arg + "\" is not an option of " + sub->name;
        if (seen & option->flag)
            return "\"" + arg + "\" given twice";
        seen |= option->flag;
        if (option->takesValue && !inlineValue) {
            if (i + 1 == args.size())
                return "\"" + arg + "\" needs a value";
            value = args[++i];
        } else if (!option->takesValue && inlineValue) {
            return "\"" + arg + "\" takes no value";
        }
        switch (option->flag) {
        case kSize: {
            const Parsed<int64_t> size = ParseSizeArg(value);
            if (const std::string* error = std::get_if<std::string>(&size))
                return *error;
            options.size = std::get<int64_t>(size);
            break;
        }
        case kCount: {
            const Parsed<int> count = ParseCountArg(value);
            if (const std::string* error = std::get_if<std::string>(&count))
                return *error;
            options.count = std::get<int>(count);
            break;
        }
        case kRecovery: {
            const Parsed<RecoveryRequest> recovery = ParseRecoveryArg(value);
            if (const std::string* error = std::get_if<std::string>(&recovery))
                return *error;
            options.recovery = std::get<RecoveryRequest>(recovery);
            break;
        }
        case kMemory: {
            const Parsed<int64_t> memory = ParseSizeArg(value);
            if (const std::string* error = std::get_if<std::string>(&memory))
                return *error;
            options.memory = std::get<int64_t>(memory);
            break;
        }
        case kNoCrc:
            options.noCrc = true;
            break;
        case kSelfCat:
            options.selfCat = true;
            break;
        case kDirectory:
            if (value.empty())
                return std::string("\"-C\" needs a folder");
            options.directory = value;
            break;
        case kYes:
            options.yes = true;
            break;
        case kQuiet:
            options.quiet = true;
            break;
        case kJson:
            options.json = true;
            break;
        }
    }
    if (!havePath)
        return std::string(sub->name) + " needs " + (options.command == Command::Split ? "a FILE" : "a PIECE");
    if (options.size && options.count)
        return std::string("--size and --count exclude each other");
    if (options.noCrc && options.selfCat)
        return std::string("--no-crc and --self-cat exclude each other: a self-catenating piece needs the CRC");
    return options;
}
