// The one way anything is told to the user: a text, an icon and the buttons.
// Fendrik shows it as a modal message box; tests record it.
#pragma once

#include <string>

#include "core/outcome.h"

enum class Icon { None, Exclamation, Hand, Information, Question };
// YesNo is a question whose default button is No: pressing Enter must never
// destroy anything the user has.
// YesNoDefaultYes is for a question whose Yes loses nothing (a rebuild that keeps every original).
enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultYes };
enum class Answer { Ok, Cancel, Yes, No };

class Messenger {
public:
    virtual ~Messenger() = default;
    virtual Answer Show(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
    // An outcome the engine leaves to the front end to word.
    virtual void Tell(const Outcome& outcome) = 0;
    // A Yes/No question the engine leaves to the front end to word; its default answer is No.
    virtual Answer Ask(const Outcome& question) = 0;
};
