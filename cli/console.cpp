// Console output: one line per message, the progress line, and the y/N prompt.
#include "cli/console.h"

#include <istream>
#include <ostream>

#include "platform/path_text.h"

namespace {

constexpr char kProgram[] = "fendrik: ";

bool EndsInPunctuation(const std::string& text) {
    if (text.empty())
        return true;
    const char c = text.back();
    return c == '.' || c == ':' || c == '!' || c == '?' || c == ';' || c == ',' || c == ' ';
}

} // namespace

std::string OneLine(const std::string& text) {
    std::string line;
    bool pendingBreak = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak) {
            line += EndsInPunctuation(line) ? " " : "; ";
            pendingBreak = false;
        }
        if (c == '\t') {
            if (line.empty() || line.back() != ' ')
                line += ' ';
            continue;
        }
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string ShownPath(const std::string& text) {
    // One way only: a message holds system texts too ("Input/output error"), whose '/' stays.
    std::string shown = text;
#ifndef _WIN32
    for (char& c : shown)
        if (c == '\\')
            c = '/';
#endif
    return shown;
}

void Console::Message(const std::string& line) {
    ClearProgress();
    streams_.err << kProgram << ShownPath(line) << std::endl;
}

void Console::Progress(const std::string& line) {
    if (!ShowsProgress())
        return;
    std::string padded = line;
    // Blanks over the rest of a longer earlier line; no escape codes, so any console shows it.
    if (padded.size() < progressWidth_)
        padded.append(progressWidth_ - padded.size(), ' ');
    progressWidth_ = line.size();
    streams_.err << '\r' << padded << std::flush;
}

void Console::ClearProgress() {
    if (progressWidth_ == 0)
        return;
    streams_.err << '\r' << std::string(progressWidth_, ' ') << '\r' << std::flush;
    progressWidth_ = 0;
}

void Console::Result(const std::string& line) {
    if (dataOnOut_) {
        Message(line);
        return;
    }
    ClearProgress();
    streams_.out << line << "\n";
}

bool Console::ReadAnswer(std::string* answer) {
    return static_cast<bool>(std::getline(streams_.in, *answer));
}

Answer ConsoleMessenger::Show(const std::string& text, Icon icon, Buttons buttons) {
    if (buttons == Buttons::Ok) {
        // Success reports are what --quiet leaves out; problems are always told.
        if (!(icon == Icon::Information && console_.Quiet()))
            console_.Message(OneLine(text));
        return Answer::Ok;
    }
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultYes;
    const Answer yes = yesNo ? Answer::Yes : Answer::Ok;
    const Answer no = yesNo ? Answer::No : Answer::Cancel;
    const std::string question = OneLine(text);
    if (assumeYes_) {
        // A question answered by --yes leads on to success, which --quiet leaves untold.
        if (!console_.Quiet())
            console_.Message(question + " [y/N] yes (--yes)");
        return yes;
    }
    if (!console_.Streams().inIsTerminal) {
        console_.Message(question + " [y/N] no (no terminal to ask; --yes answers yes)");
        return no;
    }
    console_.ClearProgress();
    console_.Streams().err << kProgram << ShownPath(question) << " [y/N] " << std::flush;
    std::string answer;
    if (!console_.ReadAnswer(&answer))
        return no;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" ? yes : no;
}
