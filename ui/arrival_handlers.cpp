// Files that arrive from outside the dialog: dropped on one of its halves, or
// named on the command line at start. Each ends where a pick would have put it.
#include <string>
#include <vector>

#include "core/file_checks.h"
#include "ui/arrival_rules.h"
#include "ui/framework/dropped_files.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

namespace {

constexpr char kOneFileOnly[] = "Please select one file only";
constexpr char kNoFirstPiece[] = "No correct 1st spitted file name";

ClientBox ClientBoxOf(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void MainDialog::SetStartFiles(std::vector<std::string> paths) {
    startFiles_ = std::move(paths);
}

void MainDialog::OnApp_OpenStartFiles() {
    const std::vector<std::string> paths = std::move(startFiles_);
    startFiles_.clear();
    if (paths.size() > 1) {
        messenger_.Show(kOneFileOnly, Icon::Information);
        return;
    }
    if (!paths.empty())
        OpenFiles(HalfForStartFile(paths[0]), paths);
}

BOOL MainDialog::OnDropFiles(HDROP drop) {
    const DroppedFiles files(drop);
    const POINT at = files.Point();
    const DialogHalf half =
        HalfAt(at.x, at.y, ClientBoxOf(Handle(), Item(IDC_SPLIT_GROUP)), ClientBoxOf(Handle(), Item(IDC_CAT_GROUP)));
    OpenFiles(half, files.Paths());
    return TRUE;
}

void MainDialog::OpenFiles(DialogHalf half, const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    if (half == DialogHalf::Catenate && paths.size() > 1) {
        TakeExplicitSelection(paths);
        return;
    }
    if (paths.size() > 1) {
        messenger_.Show(kOneFileOnly, Icon::Information);
        return;
    }
    if (half == DialogHalf::Split)
        TakeLargeFile(paths[0]);
    else
        TakeFirstPiece(paths[0]);
}

void MainDialog::TakeLargeFile(const std::string& path) {
    // A missing file or a folder is refused with the usual message; the field keeps what it had.
    if (!CheckFile(path, true, messenger_))
        return;
    largeFileName_ = path;
    // As after a pick: the change handler forgets the old size and CRC.
    SetItemText(IDC_LARGE_FILE, largeFileName_);
    UpdateSplitCount();
}

void MainDialog::TakeFirstPiece(const std::string& path) {
    if (!IsPieceOfSet(path) && Exists(path)) {
        // Not a piece at all: say so, and keep the set already chosen.
        messenger_.Show(kNoFirstPiece, Icon::Exclamation);
        return;
    }
    const std::optional<std::string> setFirst = FirstPieceOfSet(path);
    firstPiecePath_ = setFirst && Exists(*setFirst) ? *setFirst : path;
    explicitSelection_ = false;
    // As after a pick: the set is listed, or the usual messages say why not and the field is emptied.
    FindPieces();
    SetItemText(IDC_FIRST_PIECE, firstPiecePath_);
}

void MainDialog::TakeExplicitSelection(const std::vector<std::string>& paths) {
    // Only files can be joined; a folder among them refuses the whole drop.
    for (const std::string& path : paths)
        if (!CheckFile(path, true, messenger_))
            return;
    catenationList_ = paths;
    firstPiecePath_.clear();
    explicitSelection_ = true;
    ListExplicitSelection();
}
