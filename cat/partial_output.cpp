// Creating, renaming and discarding a join's temporary output.
#include "cat/partial_output.h"

#include "cat/output_path.h"
#include "core/name_bytes.h"

std::string SuffixedName(const std::string& finalName, const char* suffix) {
    const std::string name = NamePart(finalName);
    const size_t suffixLen = std::char_traits<char>::length(suffix);
    const size_t kept = KeptBeforeSuffix(name.data(), name.size(), suffixLen);
    return finalName.substr(0, finalName.size() - name.size() + kept) + suffix;
}

PartialOutput::PartialOutput(const std::string& finalName)
    : finalName_(finalName), partialName_(OutputPathFor(SuffixedName(finalName, kPartialSuffix))),
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

std::string PartialOutput::Keep() {
    file_.Close();
    committed_ = true;
    const std::string kept = OutputPathFor(SuffixedName(finalName_, kInconsistentSuffix));
    try {
        RenameFile(partialName_, kept, false);
        return kept;
    } catch (const FileException&) {
        return partialName_; // the inconsistent name is taken: the data stays where it was written
    }
}

void PartialOutput::Commit(bool replaceExisting) {
    file_.Close();
    RenameFile(partialName_, finalName_, replaceExisting);
    committed_ = true;
}
