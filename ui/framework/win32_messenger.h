// The messenger the program uses: a modal message box captioned with the
// program's name, owned by the main dialog while it exists.
#pragma once

#include <windows.h>

#include <string>

#include "core/messages.h"

class Dialog;

class Win32Messenger : public Messenger {
public:
    // The dialog whose window owns the boxes once it exists.
    void SetOwner(const Dialog* owner) { owner_ = owner; }
    Answer Show(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) override;
    void Tell(const Outcome& outcome) override;
    Answer Ask(const Outcome& question) override;

private:
    const Dialog* owner_ = nullptr;
};

// The executable's file name without folder and extension: every box's caption.
std::string ProgramTitle();
// MessageBoxA's flags for an icon and buttons.
UINT MessageBoxFlags(Icon icon, Buttons buttons);
