// The message-box robot: start, watch, answer, record, wait, and end for sure.
#include "tests/wine/support/box_robot.h"

#include "tests/wine/support/child_process.h"

namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kCloseWaitMs = 5000;

// An unexpected box may not have OK: try the buttons that close other kinds.
bool Dismiss(HWND box) {
    for (int id : {IDOK, IDCANCEL, IDNO, IDABORT}) {
        PressButton(box, id);
        if (WaitUntilGone(box, 1000))
            return true;
    }
    return false;
}

} // namespace

std::ostream& operator<<(std::ostream& os, const SeenBox& box) {
    return os << "{caption \"" << box.caption << "\", text \"" << box.text << "\", icon " << BoxIconName(box.icon)
              << (box.scripted ? "" : ", not expected") << "}";
}

std::vector<SeenBox> RobotResult::Unexpected() const {
    std::vector<SeenBox> unexpected;
    for (const auto& box : boxes)
        if (!box.scripted)
            unexpected.push_back(box);
    return unexpected;
}

std::vector<std::string> RobotResult::Lines() const {
    std::vector<std::string> lines;
    for (const auto& box : boxes)
        lines.push_back(box.caption + ": " + box.text);
    return lines;
}

RobotResult RunWithRobot(const RobotRun& run) {
    RobotResult result;
    ChildProcess child(run.program, run.arguments, run.directory);
    result.started = child.Started();
    result.startError = child.StartError();
    if (!result.started)
        return result;

    size_t next = 0;
    const DWORD start = ::GetTickCount();
    while (!child.WaitForExit(0)) {
        if (::GetTickCount() - start >= run.deadlineMs) {
            result.timedOut = true;
            child.Terminate(0xDEAD);
            break;
        }
        const std::vector<HWND> dialogs = FindDialogs(child.Id());
        if (dialogs.empty()) {
            child.WaitForExit(kPollMs);
            continue;
        }
        const HWND box = dialogs.front();
        const BoxContent content = ReadMessageBox(box);
        SeenBox seen{content.caption, content.text, content.icon, IDOK, false};
        if (next < run.script.size() && run.script[next].caption == content.caption) {
            seen.scripted = true;
            seen.pressed = run.script[next++].button;
            PressButton(box, seen.pressed);
            if (!WaitUntilGone(box, kCloseWaitMs))
                Dismiss(box);
        } else {
            Dismiss(box);
        }
        result.boxes.push_back(seen);
    }
    result.exitCode = child.ExitCode();
    return result;
}
