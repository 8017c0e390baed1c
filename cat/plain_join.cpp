// Plain join: a free "File%i" name, every entry copied whole, and the outcome.
#include "cat/plain_join.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <utility>

#include "cat/cat_files.h"
#include "cat/join_steps.h"
#include "cat/output_path.h"
#include "cat/partial_output.h"
#include "cat/piece_discovery.h"
#include "core/progress_meter.h"
#include "core/volume_checks.h"
#include "platform/file.h"

namespace {

Outcome PlainCatDone(const std::string& outputPath, const std::string& name, size_t files) {
    told::PlainCatDone joined;
    joined.outputPath = outputPath;
    joined.name = name;
    joined.files = files;
    return joined;
}

constexpr int kNumberRange = 32768;
// Random draws before the free numbers are searched in turn; a folder this full is rare.
constexpr int kRandomDraws = 256;

// The name is reserved by an empty file created new in the same step that finds it free, so nothing
// that appears meanwhile, and nothing whose status cannot be read, is ever replaced. An input that is
// missing now must not be read back while it is being written, so its name is skipped too.
bool ReserveIfFree(const std::string& name, const std::vector<std::string>& inputs) {
    if (InputAt(OutputPathFor(name), inputs) != nullptr)
        return false;
    try {
        File(name, File::Mode::CreateNew).Close();
        return true;
    } catch (const FileException& error) {
        if (error.Cause() == FileCause::AlreadyExists)
            return false;
        throw;
    }
}

// The reserved name: deleted again unless the joined data took it.
class Reservation {
public:
    explicit Reservation(std::string name) : name_(std::move(name)) {}
    ~Reservation() {
        if (!kept_)
            DeleteFileAt(name_);
    }
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    const std::string& Name() const { return name_; }
    void Keep() { kept_ = true; }

private:
    std::string name_;
    bool kept_ = false;
};

// A free name of the plain form, reserved: random draws first, then the numbers in turn.
std::optional<std::string> ReserveFreeName(const CatJob& job) {
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
        if (ReserveIfFree(name, job.paths))
            return name;
    }
    for (int step = 1; step < kNumberRange; ++step) {
        const std::string name = FormatPlainName(job.plainNameFormat, (number + step) % kNumberRange);
        if (ReserveIfFree(name, job.paths))
            return name;
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

namespace {

// Every entry whole to an open stream.
void StreamPlainCat(const CatJob& job, Messenger& messenger, CatResult& result) {
    result.outputPath = job.stream->Path();
    ProgressMeter meter(job.onProgress, BytesToCat(job.paths, 0));
    File first(job.paths[0], File::Mode::ReadDenyWrite);
    CopyInOrder(first, std::vector<std::string>(job.paths.begin() + 1, job.paths.end()), *job.stream, meter);
    meter.Finish();
    result.written = true;
    messenger.Tell(PlainCatDone(result.outputPath, result.outputPath, job.paths.size()));
}

} // namespace

void PlainCat(const CatJob& job, Messenger& messenger, CatResult& result) {
    if (job.stream) {
        StreamPlainCat(job, messenger, result);
        return;
    }
    const uint64_t total = BytesToCat(job.paths, 0);
    if (!VolumeTakes(total, total, messenger))
        return;
    std::optional<std::string> reserved;
    try {
        // A chosen name is taken only when it is free: nothing is ever replaced by a plain join.
        if (!job.outputName.empty())
            reserved =
                ReserveIfFree(job.outputName, job.paths) ? std::optional<std::string>(job.outputName) : std::nullopt;
        else
            reserved = ReserveFreeName(job);
    } catch (const FileException& error) {
        if (error.Cause() != FileCause::BadPath)
            throw;
        messenger.Tell(told::OutputNameTooLong{OutputPathFor(error.FileName())});
        return;
    }
    if (!reserved) {
        told::NoFreePlainName full;
        full.nameForm = job.outputName.empty() ? job.plainNameFormat : job.outputName;
        full.folder = OutputPathFor("");
        messenger.Tell(full);
        return;
    }
    Reservation reservation(*reserved);
    const std::string& name = reservation.Name();
    result.outputPath = OutputPathFor(name);

    ProgressMeter meter(job.onProgress, total);
    PartialOutput output(name);
    result.partialPath = output.Path();
    File first(job.paths[0], File::Mode::ReadDenyWrite);
    CopyInOrder(first, std::vector<std::string>(job.paths.begin() + 1, job.paths.end()), output.Output(), meter);
    const uint64_t size = output.Output().Length();
    // Replaces only the empty file that held the name for it.
    output.Commit(true);
    reservation.Keep();
    meter.Finish();

    result.written = true;
    result.outputSize = size;
    messenger.Tell(PlainCatDone(result.outputPath, name, job.paths.size()));
}
