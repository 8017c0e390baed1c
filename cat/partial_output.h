// The output of a join while it is being written: final name + ".partial",
// created new, so that an interrupted join never leaves a short file under the
// real name. It gets the real name only when every byte is in; otherwise it is
// deleted when this object goes.
#pragma once

#include <string>

#include "platform/file.h"

// Where a result that does not match its recorded CRC-32 is kept when a file of its name exists.
inline constexpr char kInconsistentSuffix[] = ".inconsistent";

// finalName with suffix appended to its last component, that component shortened (never inside a
// UTF-8 character) as far as the longest name a file system takes requires.
std::string SuffixedName(const std::string& finalName, const char* suffix);

class PartialOutput {
public:
    // Creates finalName (a bare name) + ".partial" in the current directory; throws FileException (AlreadyExists when
    // one is there).
    explicit PartialOutput(const std::string& finalName);
    // Not committed: closed and deleted.
    ~PartialOutput();
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;

    File& Output() { return file_; }
    // The full path, as messages name it.
    const std::string& Path() const { return partialName_; }
    // Closes the file and gives it its final name. replaceExisting only when the
    // user agreed to replace the file of that name. Throws FileException.
    void Commit(bool replaceExisting);
    // Closes the file and keeps it beside the final name, never replacing anything: under
    // name + ".inconsistent" when that is free, else as it is. Returns its full path.
    std::string Keep();

private:
    std::string finalName_;
    std::string partialName_;
    File file_;
    bool committed_ = false;
};
