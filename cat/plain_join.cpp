// Plain join: a free "File%i" name, every entry copied whole, and the report.
#include "cat/plain_join.h"

#include <cstdlib>
#include <ctime>
#include <optional>

#include "cat/join_steps.h"
#include "cat/output_path.h"
#include "cat/piece_discovery.h"
#include "platform/file.h"

namespace {

constexpr int kNumberRange = 32768;
// Random draws before the free numbers are searched in turn; a folder this full is rare.
constexpr int kRandomDraws = 256;

// The output is created new in the same step that finds the name free, so nothing that appears
// meanwhile, and nothing whose status cannot be read, is ever replaced. An input that is missing
// now must not be read back while it is being written, so its name is skipped too.
std::optional<File> CreateIfFree(const std::string& name, const std::vector<std::string>& inputs) {
    if (InputAt(OutputPathFor(name), inputs) != nullptr)
        return std::nullopt;
    try {
        return File(name, File::Mode::CreateNew);
    } catch (const FileException& error) {
        if (error.Cause() == FileCause::AlreadyExists)
            return std::nullopt;
        throw;
    }
}

struct NamedOutput {
    std::string name;
    File file;
};

// A new file of the plain form: random draws first, then the numbers in turn.
std::optional<NamedOutput> CreateFreeOutput(const CatJob& job) {
    std::function<int()> draw = job.drawNumber;
    if (!draw) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        draw = [] { return std::rand() % kNumberRange; };
    }
    int number = 0;
    for (int i = 0; i < kRandomDraws; ++i) {
        number = draw() % kNumberRange;
        if (number < 0)
            number += kNumberRange;
        const std::string name = FormatPlainName(job.plainNameFormat, number);
        if (std::optional<File> file = CreateIfFree(name, job.paths))
            return NamedOutput{name, std::move(*file)};
    }
    for (int step = 1; step < kNumberRange; ++step) {
        const std::string name = FormatPlainName(job.plainNameFormat, (number + step) % kNumberRange);
        if (std::optional<File> file = CreateIfFree(name, job.paths))
            return NamedOutput{name, std::move(*file)};
    }
    return std::nullopt;
}

} // namespace

std::string FormatPlainName(const std::string& format, int number) {
    const size_t at = format.find("%i");
    if (at == std::string::npos)
        return format + std::to_string(number);
    return format.substr(0, at) + std::to_string(number) + format.substr(at + 2);
}

void PlainJoin(const CatJob& job, Messenger& messenger, CatResult& result) {
    std::optional<NamedOutput> created = CreateFreeOutput(job);
    if (!created) {
        ReportCatError(messenger, "Every name of the form " + job.plainNameFormat + " is taken in " +
                                      OutputPathFor("") + ". Nothing was written.");
        return;
    }
    const std::string& name = created->name;
    File& output = created->file;
    result.outputPath = OutputPathFor(name);

    std::vector<uint8_t> buffer(kCopyBlockSize);
    for (const std::string& path : job.paths) {
        File input(path, File::Mode::ReadDenyWrite);
        CopyToEnd(input, output, buffer);
        input.Close();
    }
    const uint64_t size = output.Length();
    output.Close();

    result.written = true;
    result.listLine = PieceLine(name, size);
    messenger.Show("Catenated File: " + name + " done", Icon::Information);
}
