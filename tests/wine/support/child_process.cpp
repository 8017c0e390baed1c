// Starting and ending a program under test.
#include "tests/wine/support/child_process.h"

#include <vector>

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments, const std::string& directory) {
    std::string line = "\"" + program + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back(0); // CreateProcessA may write into the command line
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info_)) {
        startError_ = ::GetLastError();
        info_ = PROCESS_INFORMATION{};
    }
}

ChildProcess::~ChildProcess() {
    if (!Started())
        return;
    if (!WaitForExit(0))
        Terminate(1);
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : info_(other.info_), startError_(other.startError_) {
    other.info_ = PROCESS_INFORMATION{};
}

bool ChildProcess::WaitForExit(DWORD ms) {
    return Started() && ::WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Started())
        ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void ChildProcess::Terminate(UINT code) {
    if (!Started())
        return;
    ::TerminateProcess(info_.hProcess, code);
    ::WaitForSingleObject(info_.hProcess, 5000);
}
