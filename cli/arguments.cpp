// Parsing the command line: each subcommand takes only its own options.
#include "cli/arguments.h"

#include <optional>

#include "split/split_request.h"

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
    kName = 1024,
    kOutput = 2048,
};

struct Subcommand {
    const char* name;
    Command command;
    unsigned allowed;
};

constexpr Subcommand kSubcommands[] = {
    {"split", Command::Split,
     kSize | kCount | kNoCrc | kSelfCat | kDirectory | kYes | kQuiet | kRecovery | kMemory | kName},
    {"join", Command::Join, kDirectory | kOutput | kYes | kQuiet},
    {"verify", Command::Verify, kQuiet | kJson},
    {"repair", Command::Repair, kYes | kQuiet},
    {"info", Command::Info, kJson | kQuiet},
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
    {"--memory", kMemory, true},     {"--name", kName, true},   {"-o", kOutput, true},
};

// An option's value put into options, or what is wrong with it.
template <typename T> std::optional<std::string> Take(const Parsed<T>& parsed, std::optional<T>& into) {
    if (const std::string* error = std::get_if<std::string>(&parsed))
        return *error;
    into = std::get<T>(parsed);
    return std::nullopt;
}

std::optional<std::string> TakeValue(Allowed flag, const std::string& value, CliOptions& options) {
    switch (flag) {
    case kSize:
        return Take(ParseSizeArg(value), options.size);
    case kCount:
        return Take(ParseCountArg(value), options.count);
    case kMemory:
        return Take(ParseSizeArg(value), options.memory);
    case kRecovery: {
        std::optional<RecoveryRequest> recovery;
        if (std::optional<std::string> error = Take(ParseRecoveryArg(value), recovery))
            return error;
        options.recovery = *recovery;
        return std::nullopt;
    }
    case kDirectory:
        if (value.empty())
            return std::string("\"-C\" needs a folder");
        options.directory = value;
        return std::nullopt;
    case kName:
        if (value.empty())
            return std::string("\"--name\" needs a name");
        options.name = value;
        return std::nullopt;
    case kOutput:
        if (value.empty())
            return std::string("\"-o\" needs a file, or - for standard output");
        options.output = value;
        return std::nullopt;
    case kNoCrc:
        options.noCrc = true;
        return std::nullopt;
    case kSelfCat:
        options.selfCat = true;
        return std::nullopt;
    case kYes:
        options.yes = true;
        return std::nullopt;
    case kQuiet:
        options.quiet = true;
        return std::nullopt;
    case kJson:
        options.json = true;
        return std::nullopt;
    }
    return std::nullopt;
}

const Subcommand* FindSubcommand(const std::string& name) {
    for (const Subcommand& candidate : kSubcommands)
        if (name == candidate.name)
            return &candidate;
    return nullptr;
}

const OptionName* FindOption(const std::string& name) {
    for (const OptionName& candidate : kOptions)
        if (name == candidate.name)
            return &candidate;
    return nullptr;
}

// The words after the subcommand, read one at a time: options with their values and the one path.
class WordReader {
public:
    WordReader(const std::vector<std::string>& args, const Subcommand& sub, CliOptions& options)
        : args_(args), sub_(sub), options_(options) {}

    std::optional<std::string> ReadAll() {
        for (i_ = 1; i_ < args_.size(); ++i_) {
            if (std::optional<std::string> error = ReadWord())
                return error;
        }
        if (!havePath_)
            return std::string(sub_.name) + " needs " + (sub_.command == Command::Split ? "a FILE" : "a PIECE");
        return std::nullopt;
    }

private:
    std::optional<std::string> ReadWord() {
        std::string arg = args_[i_];
        if (endOfOptions_ || arg.empty() || arg[0] != '-' || arg == "-") {
            if (havePath_)
                return "more than one file given: \"" + options_.path + "\" and \"" + arg + "\"";
            options_.path = arg;
            havePath_ = true;
            return std::nullopt;
        }
        if (arg == "--") {
            endOfOptions_ = true;
            return std::nullopt;
        }
        std::string value;
        bool inlineValue = false;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        const OptionName* option = FindOption(arg);
        if (!option || (sub_.allowed & option->flag) == 0)
            return "\"" + arg + "\" is not an option of " + sub_.name;
        if (seen_ & option->flag)
            return "\"" + arg + "\" given twice";
        seen_ |= option->flag;
        if (option->takesValue && !inlineValue) {
            if (i_ + 1 == args_.size())
                return "\"" + arg + "\" needs a value";
            value = args_[++i_];
        } else if (!option->takesValue && inlineValue) {
            return "\"" + arg + "\" takes no value";
        }
        return TakeValue(option->flag, value, options_);
    }

    const std::vector<std::string>& args_;
    const Subcommand& sub_;
    CliOptions& options_;
    size_t i_ = 1;
    unsigned seen_ = 0;
    bool havePath_ = false;
    bool endOfOptions_ = false;
};

bool WritesHeaderFor(const CliOptions& options) {
    return WritesHeader(options.noCrc, options.selfCat);
}

// What standard input and output rule out: a length known in advance, a name not given, two destinations.
std::optional<std::string> StreamOptionsProblem(const CliOptions& options) {
    const bool fromStdin = options.command == Command::Split && options.path == kStandardStream;
    if (!options.name.empty() && !fromStdin)
        return std::string("--name names the data of standard input, for split -; a file's header records its own "
                           "name");
    if (fromStdin && options.count)
        return std::string("--count needs the length of the data, which standard input does not tell in advance; "
                           "give --size");
    if (fromStdin && options.name.empty() && WritesHeaderFor(options))
        return std::string("split - needs --name NAME: the first piece records the name the data is joined under "
                           "(--no-crc records none)");
    if (!options.output.empty() && !options.directory.empty())
        return std::string("-C and -o exclude each other: -o names the output file, folder included");
    return std::nullopt;
}

} // namespace

const char kUsage[] = "usage: fendrik split FILE [--size SIZE | --count N] [--no-crc | --self-cat] [-C DIR] [--yes] "
                      "[--quiet]\n"
                      "                     [--recovery N | --recovery P%] [--memory SIZE]\n"
                      "       fendrik split - --name NAME [--size SIZE] [--no-crc | --self-cat] [-C DIR] [--yes] "
                      "[--quiet]\n"
                      "                     [--recovery N | --recovery P%] [--memory SIZE]\n"
                      "       fendrik join PIECE [-C DIR | -o FILE | -o -] [--yes] [--quiet]\n"
                      "       fendrik verify PIECE [--json] [--quiet]\n"
                      "       fendrik repair PIECE [--yes] [--quiet]\n"
                      "       fendrik info PIECE [--json] [--quiet]\n"
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
    const Subcommand* sub = FindSubcommand(args[0]);
    if (!sub)
        return "unknown subcommand \"" + args[0] + "\"";
    options.command = sub->command;
    if (std::optional<std::string> error = WordReader(args, *sub, options).ReadAll())
        return *error;
    if (options.size && options.count)
        return std::string("--size and --count exclude each other");
    if (options.noCrc && options.selfCat)
        return std::string("--no-crc and --self-cat exclude each other: a self-catenating piece needs the CRC");
    if (std::optional<std::string> error = StreamOptionsProblem(options))
        return *error;
    return options;
}
