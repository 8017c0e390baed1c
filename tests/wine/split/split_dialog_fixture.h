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

    int ProgressPosition() const {
        return static_cast<int>(SendMessageA(dialog.Item(IDC_SPLIT_PROGRESS), PBM_GETPOS, 0, 0));
    }

    // What every split leaves once it is over, refused or ended: no job running, the start
    // button itself again and usable, and the bar (0 to 1000) where the split left it.
    void ExpectSplitOver(int barPosition) const {
        EXPECT_FALSE(dialog.JobRunning()) << "the split's job still runs";
        EXPECT_EQ("Start Split", Text(IDC_START_SPLIT));
        EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_START_SPLIT)));
        EXPECT_EQ(barPosition, ProgressPosition()) << "expected the bar at " << barPosition;
    }

    TempDir dir;
};
