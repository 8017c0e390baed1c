// The terminal side of the command: messages as single lines on stderr, the
// progress line that updates in place, and Yes/No questions.
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>

#include "core/messages.h"

// Where the command talks to, and what it knows about it. main() fills it from the process;
// tests pass string streams.
struct CliStreams {
    std::ostream& out; // results: info, verify's verdict, the pieces written
    std::ostream& err; // messages and progress
    std::istream& in;  // answers to questions
    bool inIsTerminal = false;
    bool errIsTerminal = false;
    const std::atomic<bool>* stopRequested = nullptr; // set by Ctrl-C
};

// A message of several lines as one line: line breaks become "; " (or a blank after punctuation),
// tabs a blank, and trailing line breaks go.
std::string OneLine(const std::string& text);

// A path as the engines spell it, in the form this system's users write: '/' on POSIX.
std::string ShownPath(const std::string& text);

class Console {
public:
    Console(CliStreams& streams, bool quiet) : streams_(streams), quiet_(quiet) {}

    CliStreams& Streams() { return streams_; }
    bool Quiet() const { return quiet_; }
    bool ShowsProgress() const { return streams_.errIsTerminal && !quiet_; }
    bool StopRequested() const { return streams_.stopRequested && streams_.stopRequested->load(); }

    // One line on stderr, after clearing the progress line.
    void Message(const std::string& line);
    // Replaces the progress line (terminal only).
    void Progress(const std::string& line);
    void ClearProgress();
    // Reads one answer line from stdin; false at its end.
    bool ReadAnswer(std::string* answer);
    // From now on stdout carries data (join -o -): nothing else may reach it.
    void CarryDataOnOut() { dataOnOut_ = true; }
    bool CarriesDataOnOut() const { return dataOnOut_; }
    // One line of results: on stdout, or as a message on stderr while stdout carries data.
    void Result(const std::string& line);

private:
    CliStreams& streams_;
    bool quiet_;
    bool dataOnOut_ = false;
    size_t progressWidth_ = 0;
};

// An engine's outcome in one line, without the program's prefix.
std::string OutcomeLine(const Outcome& outcome);

// The engines' Messenger on the console. Yes/No questions are answered Yes by --yes, by the user on a
// terminal, and No otherwise, as the window's default button would.
class ConsoleMessenger : public Messenger {
public:
    ConsoleMessenger(Console& console, bool assumeYes) : console_(console), assumeYes_(assumeYes) {}
    Answer Show(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) override;
    void Tell(const Outcome& outcome) override;
    Answer Ask(const Outcome& question) override;

private:
    Console& console_;
    bool assumeYes_;
};
