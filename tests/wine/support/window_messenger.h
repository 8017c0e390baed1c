// The dialog's messenger as the window tests record it: an outcome is worded into its box, as the
// window's own messenger words it, and recorded with every other box.
#pragma once

#include "tests/support/recording_messenger.h"
#include "ui/outcome_text.h"

class WindowRecordingMessenger : public RecordingMessenger {
public:
    void Tell(const Outcome& outcome) override { ShowOutcome(*this, outcome); }
    Answer Ask(const Outcome& question) override { return AskOutcome(*this, question); }
};
