// The file and folder pickers on the common dialogs. Each is owned by the main
// dialog, which stays disabled while it is open; the file pickers leave the
// current directory at the chosen file's folder.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "core/messages.h"

class CFilePicker {
public:
    // Empties the selection record, so each ordered pick starts afresh.
    // owner: the window disabled while a picker is open (null: none).
    explicit CFilePicker(Messenger& messenger, HWND owner = nullptr);
    CFilePicker(const CFilePicker&) = delete;
    CFilePicker& operator=(const CFilePicker&) = delete;

    // The chosen full path, or empty (cancel, or a dialog failure after its message).
    // The typed name need not exist.
    std::string PickFile(const std::string& initialFolder, const std::string& title, const std::string& filter);
    // Several files in click order; see OrderPickedFiles.
    bool PickFilesInOrder(const std::string& initialFolder, const std::string& title, const std::string& filter,
                          std::vector<std::string>& list);
    // Any item of the shell; true with its path (empty for a virtual folder).
    // Takes ownership of root, which may be null (the desktop).
    bool PickFolder(std::string& folder, const std::string& title, LPITEMIDLIST root = nullptr);

private:
    static UINT_PTR CALLBACK SelectionHook(HWND hookWindow, UINT message, WPARAM wParam, LPARAM lParam);
    void ReportDialogFailure();

    Messenger& messenger_;
    HWND owner_;
};

// What the hook recorded during the last ordered pick, in order of first selection.
const std::vector<std::string>& SelectionRecordForTests();
