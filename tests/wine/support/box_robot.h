// Runs a program and answers its message boxes by a script, recording each box.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/support/message_box.h"

// One expected box: its caption and the button to press.
struct BoxAnswer {
    std::string caption;
    int button = IDOK;
};

struct SeenBox {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::Unknown;
    int pressed = 0;
    bool scripted = false; // false: not what the script expected next; it was answered OK
};

std::ostream& operator<<(std::ostream& os, const SeenBox& box);

struct RobotRun {
    std::string program;   // full path of the .exe
    std::string arguments; // appended to the quoted program path
    std::string directory; // the program's current directory
    std::vector<BoxAnswer> script;
    DWORD deadlineMs = 30000; // after this the program is terminated
};

struct RobotResult {
    bool started = false;
    DWORD startError = 0;
    bool timedOut = false; // the deadline passed and the program was terminated
    DWORD exitCode = STILL_ACTIVE;
    std::vector<SeenBox> boxes; // in the order they appeared

    // Every box the script did not expect, printable in a failure message.
    std::vector<SeenBox> Unexpected() const;
    // Caption and text of every box, "caption: text", for comparing whole sequences.
    std::vector<std::string> Lines() const;
};

// Starts the program, answers boxes in script order (a box whose caption is not
// the next one expected is answered OK and recorded as unexpected), waits for the
// program to end and returns what happened. Never waits past the deadline.
RobotResult RunWithRobot(const RobotRun& run);
