// The one way anything is told to the user: a text, an icon and the buttons.
// Fendrik shows it as a modal message box; tests record it.
#pragma once

#include <string>

enum class Icon { None, Exclamation, Hand, Information, Question };
enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

class Messenger {
public:
    virtual ~Messenger() = default;
    virtual Answer Show(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
};
