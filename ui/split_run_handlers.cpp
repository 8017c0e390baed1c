// The split itself: "Start Split", the list of pieces written, and the
// progress timer that steps the bar while a split runs.
#include "ui/framework/controls.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

namespace {

constexpr UINT_PTR kProgressTimer = 10;

} // namespace

void MainDialog::OnBn_StartSplit() {}

void MainDialog::ListPieces(const std::string&) {}

BOOL MainDialog::OnTimer(UINT_PTR id) {
    if (id == kProgressTimer)
        ProgressBar(Item(IDC_SPLIT_PROGRESS)).Step();
    return FALSE; // every tick also gets the default handling
}
