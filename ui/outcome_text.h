// The window's wording of the engines' outcomes: the text and icon of one message box.
// Window-free, so that native tests reach it.
#pragma once

#include <string>

#include "core/messages.h"

std::string OutcomeText(const Outcome& outcome);
Icon OutcomeIcon(const Outcome& outcome);

// The outcome as its message box.
void ShowOutcome(Messenger& messenger, const Outcome& outcome);
// The question as a Yes/No box whose default button is No.
Answer AskOutcome(Messenger& messenger, const Outcome& question);
