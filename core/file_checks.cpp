// File checks with the messages the user sees when a path is not a usable file.
#include "core/file_checks.h"

#include <optional>

#include "platform/error_text.h"
#include "platform/file.h"

void ShowSystemError(Messenger& messenger, uint32_t code, const std::string& prefix) {
    messenger.Show(prefix + "\n\n" + SystemErrorText(code), Icon::Exclamation);
}

namespace {

// The status of a path that names a file, or empty (told when showMessages) when it does not.
std::optional<PathStatus> CheckedStatus(const std::string& path, bool showMessages, Messenger& messenger) {
    const PathStatus status = GetPathStatus(path);
    if (!status.ok) {
        if (showMessages)
            ShowSystemError(messenger, status.error, "Problem with File:\n" + path);
        return std::nullopt;
    }
    if (status.isFolder) {
        if (showMessages)
            messenger.Show("File:\n" + path + "\nIs a directory", Icon::Hand);
        return std::nullopt;
    }
    return status;
}

} // namespace

std::optional<Outcome> FileProblem(const std::string& path) {
    const PathStatus status = GetPathStatus(path);
    if (!status.ok)
        return told::FileUnreadable{path, status.error};
    if (status.isFolder)
        return told::FileIsFolder{path};
    return std::nullopt;
}

bool CheckFile(const std::string& path, bool showMessages, Messenger& messenger) {
    return CheckedStatus(path, showMessages, messenger).has_value();
}

// One look at the path: the status that passed the check gives the size.
int64_t GetFileSize(const std::string& path, bool showMessages, Messenger& messenger) {
    const std::optional<PathStatus> status = CheckedStatus(path, showMessages, messenger);
    return status ? static_cast<int64_t>(status->size) : -1;
}
