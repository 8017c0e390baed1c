// The real main dialog with a fresh current directory for its pieces, and
// readers of what a split left in the dialog.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/wine/ui/dialog_fixture.h"
#include "ui/framework/controls.h"

class SplitDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        // Pieces are created by bare name, so they land here beside the large file.
        dir.Enter();
    }

    // Writes the large file and enters it and the split size as a user types them.
    void Choose(const std::string& name, const std::string& bytes, const std::string& splitSize) {
        dir.Write(name, bytes);
        Type(IDC_SPLIT_SIZE, splitSize);
        Type(IDC_LARGE_FILE, dir.File(name));
    }

    // The lines of the split list box, sorted: the search's order is the platform's.
    std::vector<std::string> ListLines() const {
        ListBox list(dialog.Item(IDC_SPLIT_LIST));
        std::vector<std::string> lines;
        for (int i = 0; i < list.Count(); ++i)
            lines.push_back(list.Text(i));
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    // Whether the progress timer still runs (stopping it if so).
    bool ProgressTimerRunning() { return KillTimer(dialog.Handle(), 10) != FALSE; }

    int ProgressPosition() const {
        return static_cast<int>(SendMessageA(dialog.Item(IDC_SPLIT_PROGRESS), PBM_GETPOS, 0, 0));
    }

    TempDir dir;
};
