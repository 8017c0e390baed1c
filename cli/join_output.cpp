// The join's output: folder, chosen name or standard output.
#include "cli/join_output.h"

#include "platform/file.h"

namespace {

constexpr char kStdoutName[] = "standard output";

} // namespace

JoinOutput::JoinOutput(const CliOptions& options, Console& console)
    : options_(options), toStream_(options.output == kStandardStream) {
    if (toStream_)
        console.CarryDataOnOut();
}

bool JoinOutput::MayRebuild(const std::string& pieces, size_t count, Messenger& messenger) const {
    if (!toStream_ || options_.yes)
        return true;
    messenger.Show("The recovery files can rebuild " + pieces +
                       ", but with the data on standard output nothing can be asked: give --yes to rebuild " +
                       (count == 1 ? "it" : "them") + " first.\nNothing was joined.",
                   Icon::Hand);
    return false;
}

bool JoinOutput::Prepare(CatJob& job, Messenger& messenger) {
    prepared_ = PrepareFor(job, messenger);
    return prepared_;
}

bool JoinOutput::PrepareFor(CatJob& job, Messenger& messenger) {
    if (toStream_) {
        try {
            stream_ = File::StandardOutput(kStdoutName);
        } catch (const FileException& error) {
            messenger.Show("Can't write to standard output\n" + error.Description(), Icon::Hand);
            return false;
        }
        job.stream = &stream_;
        return true;
    }
    if (options_.output.empty())
        return folder_.Enter(options_.directory, messenger);
    const std::string path = EnginePath(options_.output);
    // The folder as the user spells it, which Enter makes full again.
    if (!folder_.Enter(ShownPath(FolderPart(path)), messenger))
        return false;
    job.outputName = NamePart(path);
    return true;
}
