// The common-dialog pickers and the selection hook of the ordered pick.
#include "ui/file_picker.h"

#include <commdlg.h>

#include <array>
#include <utility>

#include "platform/owned_handles.h"
#include "ui/framework/com_apartment.h"
#include "ui/framework/dialog.h"
#include "ui/picker_rules.h"
#include "ui/pickers.h"

namespace {

// Any path Windows' ANSI calls take.
constexpr DWORD kFileBufferSize = MAX_PATH;
// Room for a folder and 1000 names of up to 64 characters; the hook grows the buffer
// when the files selected need more.
constexpr DWORD kMultiFileBufferSize = MAX_PATH + 1000 * 65 + 1;
constexpr DWORD kSelectionTextSize = 32768;
// The structure as of version 4.0, what the hook-based dialog expects: 76 bytes
// on 32-bit Windows, 136 on 64-bit, so the SDK's constant and never a literal.
const DWORD kOpenFileNameSize = OPENFILENAME_SIZE_VERSION_400A;

// The files the hook saw selected, in order of first selection. One for the
// process: the hook has no other way to reach it.
std::vector<std::string>& SelectionRecord() {
    static std::vector<std::string> record;
    return record;
}

// The buffer of the ordered pick, reachable from the hook so that it can grow.
std::vector<char>& MultiFileBuffer() {
    static std::vector<char> buffer;
    return buffer;
}

// The shell's allocator, released with the object.
class ShellAllocator {
public:
    ShellAllocator() {
        IMalloc* malloc = nullptr;
        if (SUCCEEDED(SHGetMalloc(&malloc)))
            malloc_.Reset(malloc);
    }

    void Free(void* block) {
        if (!block)
            return;
        if (malloc_.IsValid())
            malloc_.Get()->Free(block);
        else
            CoTaskMemFree(block); // the same allocator, reached without the interface
    }

private:
    ComPtr<IMalloc> malloc_;
};

OPENFILENAMEA DialogSettings(HWND owner, const std::string& initialFolder, const std::string& title, const char* filter,
                             char* file, DWORD fileSize) {
    OPENFILENAMEA settings{};
    settings.lStructSize = kOpenFileNameSize;
    settings.hwndOwner = owner;
    settings.lpstrFilter = filter;
    settings.nFilterIndex = 1;
    settings.lpstrFile = file;
    settings.nMaxFile = fileSize;
    settings.lpstrInitialDir = initialFolder.c_str();
    settings.lpstrTitle = title.c_str();
    settings.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    return settings;
}

} // namespace

const std::vector<std::string>& SelectionRecordForTests() {
    return SelectionRecord();
}

CFilePicker::CFilePicker(Messenger& messenger, HWND owner) : messenger_(messenger), owner_(owner) {
    SelectionRecord().clear();
}

void CFilePicker::ReportDialogFailure() {
    if (CommDlgExtendedError() != 0)
        messenger_.Show("Error on common dialog box function", Icon::Hand);
}

std::string CFilePicker::PickFile(const std::string& initialFolder, const std::string& title,
                                  const std::string& filter) {
    const auto filterBuffer = MakeFilterBuffer(filter);
    std::array<char, kFileBufferSize> file{};
    OPENFILENAMEA settings =
        DialogSettings(owner_, initialFolder, title, filterBuffer.data(), file.data(), kFileBufferSize);
    if (GetOpenFileNameA(&settings))
        return std::string(file.data());
    ReportDialogFailure();
    return {};
}

bool CFilePicker::PickFilesInOrder(const std::string& initialFolder, const std::string& title,
                                   const std::string& filter, std::vector<std::string>& list) {
    const auto filterBuffer = MakeFilterBuffer(filter);
    std::vector<char>& file = MultiFileBuffer();
    file.assign(kMultiFileBufferSize, '\0');
    OPENFILENAMEA settings =
        DialogSettings(owner_, initialFolder, title, filterBuffer.data(), file.data(), static_cast<DWORD>(file.size()));
    settings.Flags |= OFN_ALLOWMULTISELECT | OFN_ENABLEHOOK;
    settings.lpfnHook = SelectionHook;
    if (!GetOpenFileNameA(&settings)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
            messenger_.Show("Too many files were selected at once to be read back.\nSelect fewer files.",
                            Icon::Exclamation);
            return false;
        }
        ReportDialogFailure();
        return false;
    }
    // The hook may have moved the buffer: the dialog wrote to the one it was last given.
    list = OrderPickedFiles(settings.lpstrFile, settings.nMaxFile, SelectionRecord());
    return true;
}

UINT_PTR CALLBACK CFilePicker::SelectionHook(HWND hookWindow, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != CDN_SELCHANGE)
        return 0;
    // Inside the system's dialog: a failure here costs one record entry, never the dialog.
    try {
        const HWND dialog = GetParent(hookWindow);
        std::vector<char> folder(kSelectionTextSize, '\0');
        std::vector<char> spec(kSelectionTextSize, '\0');
        const LRESULT folderLength =
            SendMessageA(dialog, CDM_GETFOLDERPATH, folder.size(), reinterpret_cast<LPARAM>(folder.data()));
        const LRESULT specLength =
            SendMessageA(dialog, CDM_GETSPEC, spec.size(), reinterpret_cast<LPARAM>(spec.data()));
        folder.back() = spec.back() = '\0';
        RecordSelection(SelectionRecord(), SelectedPath(folder.data(), spec.data()));
        // The names come back as folder, zero, names each with a zero: never more than folder and
        // selection text together. A bigger buffer now spares the user a failed pick at the end.
        OPENFILENAMEA* settings = reinterpret_cast<OFNOTIFYA*>(lParam)->lpOFN;
        const size_t needed = static_cast<size_t>(folderLength > 0 ? folderLength : 0) +
                              static_cast<size_t>(specLength > 0 ? specLength : 0) + 2;
        std::vector<char>& buffer = MultiFileBuffer();
        if (settings && settings->lpstrFile == buffer.data() && needed > settings->nMaxFile) {
            buffer.assign(needed * 2, '\0');
            settings->lpstrFile = buffer.data();
            settings->nMaxFile = static_cast<DWORD>(buffer.size());
        }
    } catch (const std::exception&) {
        // Only allocation can fail here; the pick goes on with what was recorded.
    }
    return 0;
}

bool CFilePicker::PickFolder(std::string& folder, const std::string& title, LPITEMIDLIST root) {
    const ComApartment com;
    ShellAllocator allocator;
    std::array<char, MAX_PATH> displayName{};
    std::array<char, MAX_PATH> path{};
    BROWSEINFOA settings{};
    settings.hwndOwner = owner_;
    settings.pidlRoot = root;
    settings.pszDisplayName = displayName.data();
    settings.lpszTitle = title.c_str();
    settings.ulFlags = 0; // any item, not only file-system folders
    const LPITEMIDLIST chosen = SHBrowseForFolderA(&settings);
    if (chosen) {
        // A virtual folder has no path: the result stays empty, still a choice.
        SHGetPathFromIDListA(chosen, path.data());
        allocator.Free(chosen);
    }
    allocator.Free(root);
    folder = chosen ? std::string(path.data()) : std::string();
    return chosen != nullptr;
}

void* FilePickers::OwnerWindow() const {
    return owner_ ? owner_->Handle() : nullptr;
}

std::string FilePickers::PickFile(const std::string& initialFolder, const std::string& title,
                                  const std::string& filter) {
    CFilePicker picker(messenger_, static_cast<HWND>(OwnerWindow()));
    return picker.PickFile(initialFolder, title, filter);
}

bool FilePickers::PickFilesInOrder(const std::string& initialFolder, const std::string& title,
                                   const std::string& filter, std::vector<std::string>& list) {
    CFilePicker picker(messenger_, static_cast<HWND>(OwnerWindow()));
    return picker.PickFilesInOrder(initialFolder, title, filter, list);
}

bool FilePickers::PickFolder(std::string& folder, const std::string& title) {
    CFilePicker picker(messenger_, static_cast<HWND>(OwnerWindow()));
    return picker.PickFolder(folder, title);
}
