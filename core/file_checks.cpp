// File checks with the messages the user sees when a path is not a usable file.
#include "core/file_checks.h"

#include "platform/error_text.h"
#include "platform/file.h"

void ShowSystemError(Messenger& messenger, uint32_t code, const std::string& prefix) {
    messenger.Show(prefix + "\n\n" + SystemErrorText(code), Icon::Exclamation);
}

bool CheckFile(const std::string& path, bool showMessages, Messenger& messenger) {
    const PathStatus status = GetPathStatus(path);
    if (!status.ok) {
        if (showMessages)
            ShowSystemError(messenger, status.error, "Problem with File:\n" + path);
        return false;
    }
    if (status.isFolder) {
        if (showMessages)
            messenger.Show("File:\n" + path + "\nIs a directory", Icon::Hand);
        return false;
    }
    return true;
}

int64_t GetFileSize(const std::string& path, bool showMessages, Messenger& messenger) {
    if (!CheckFile(path, showMessages, messenger))
        return -1;
    const PathStatus status = GetPathStatus(path);
    if (!status.ok) {
        if (showMessages)
            messenger.Show("GetStatus Error on Routine: GetFileSize", Icon::Exclamation);
        return -1;
    }
    if (status.isFolder) {
        if (showMessages)
            messenger.Show("File is a Folder", Icon::Exclamation);
        return -1;
    }
    return static_cast<int64_t>(status.size);
}
