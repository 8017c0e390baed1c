// Creating, renaming and discarding a join's temporary output.
#include "cat/partial_output.h"

#include "cat/output_path.h"

namespace {

// Longest file name the file systems take.
constexpr size_t kMaxName = 255;

// The name + ".partial"; a name too long for that gives up its end to the suffix.
std::string PartialName(const std::string& finalName) {
    const size_t suffix = sizeof kPartialSuffix - 1;
    const size_t nameLength = NamePart(finalName).size();
    std::string name = finalName;
    if (nameLength + suffix > kMaxName)
        name.resize(name.size() - (nameLength + suffix - kMaxName));
    return name + kPartialSuffix;
}

} // namespace

PartialOutput::PartialOutput(const std::string& finalName)
    : finalName_(finalName), partialName_(OutputPathFor(PartialName(finalName))),
      file_(partialName_, File::Mode::CreateNew) {}

PartialOutput::~PartialOutput() {
    if (committed_)
        return;
    try {
        if (file_.IsOpen())
            file_.Close();
    } catch (const FileException&) {
        // The file goes anyway: what it holds is not wanted.
    }
    DeleteFileAt(partialName_);
}

void PartialOutput::Commit(bool replaceExisting) {
    file_.Close();
    RenameFile(partialName_, finalName_, replaceExisting);
    committed_ = true;
}
