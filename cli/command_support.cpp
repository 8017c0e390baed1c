// Paths and the output folder for the subcommands.
#include "cli/command_support.h"

#include "cat/output_path.h"
#include "core/file_checks.h"
#include "platform/current_dir.h"
#include "platform/file.h"

std::string EnginePath(const std::string& argument) {
    return FullPathOf(TypedPath(argument));
}

OutputFolder::~OutputFolder() {
    uint32_t error = 0;
    if (!saved_.empty())
        SetCurrentDirectoryTo(saved_, &error);
}

bool OutputFolder::Enter(const std::string& folder, Messenger& messenger) {
    if (folder.empty())
        return true;
    const std::string path = EnginePath(folder);
    const PathStatus status = GetPathStatus(path);
    uint32_t error = status.error;
    if (status.ok && !status.isFolder) {
        messenger.Show("Folder:\n" + path + "\nIs not a folder", Icon::Exclamation);
        return false;
    }
    const std::string current = CurrentDirectory();
    if (!status.ok || !SetCurrentDirectoryTo(path, &error)) {
        ShowSystemError(messenger, error, "Problem with Folder:\n" + path);
        return false;
    }
    saved_ = current;
    return true;
}
