// The two list boxes' context menus and their file operations.
#include "ui/main_dialog.h"

BOOL MainDialog::OnContextMenu(HWND, POINT) {
    return TRUE;
}

void MainDialog::OnMenu_SplitCopy() {}

void MainDialog::OnMenu_SplitMove() {}

void MainDialog::OnMenu_SplitDelete() {}

void MainDialog::OnMenu_CatCopy() {}

void MainDialog::OnMenu_CatMove() {}

void MainDialog::OnMenu_CatDelete() {}

void MainDialog::CopyFiles(int, const std::string&) {}

void MainDialog::MoveFiles(int, const std::string&) {}

void MainDialog::DeleteFiles(int, const std::string&) {}

void MainDialog::MoveEntryUp() {}

void MainDialog::MoveEntryDown() {}

void MainDialog::ShowPieceHeader() {}

void MainDialog::ShowSizeAndCrc() {}
