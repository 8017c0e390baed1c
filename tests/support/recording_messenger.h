// Records every message instead of showing it, and answers from a script.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "core/messages.h"

struct ShownMessage {
    std::string text;
    Icon icon;
    Buttons buttons;
    bool operator==(const ShownMessage& o) const { return text == o.text && icon == o.icon && buttons == o.buttons; }
};

inline const char* IconName(Icon icon) {
    switch (icon) {
    case Icon::None:
        return "None";
    case Icon::Exclamation:
        return "Exclamation";
    case Icon::Hand:
        return "Hand";
    case Icon::Information:
        return "Information";
    case Icon::Question:
        return "Question";
    }
    return "?";
}

inline std::ostream& operator<<(std::ostream& os, const ShownMessage& m) {
    return os << "{\"" << m.text << "\", " << IconName(m.icon) << "}";
}

class RecordingMessenger : public Messenger {
public:
    Answer Show(const std::string& text, Icon icon, Buttons buttons) override {
        shown.push_back({text, icon, buttons});
        // Unscripted questions get the default button: No for a Yes/No question unless its Yes is the default.
        if (answers.empty())
            return buttons == Buttons::YesNo             ? Answer::No
                   : buttons == Buttons::YesNoDefaultYes ? Answer::Yes
                                                         : Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    // Texts only, for tests that check the sequence.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : shown)
            texts.push_back(m.text);
        return texts;
    }
    void Tell(const Outcome& outcome) override { told.push_back(outcome); }
    // The kinds told, for tests that check the sequence.
    std::vector<OutcomeKind> Kinds() const {
        std::vector<OutcomeKind> kinds;
        for (const Outcome& o : told)
            kinds.push_back(o.Kind());
        return kinds;
    }
    // Recorded as told; answered like a Yes/No box.
    Answer Ask(const Outcome& question) override {
        told.push_back(question);
        if (answers.empty())
            return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Clear() {
        shown.clear();
        told.clear();
    }

    std::vector<ShownMessage> shown;
    std::vector<Outcome> told;
    std::deque<Answer> answers;
};
