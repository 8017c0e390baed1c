// A program started for a test, ended for sure when the test is done with it.
#pragma once

#include <windows.h>

#include <string>

class ChildProcess {
public:
    // Starts program (a full path) with the given arguments in directory
    // (empty: the test's own current directory). Check Started().
    ChildProcess(const std::string& program, const std::string& arguments, const std::string& directory);
    // Terminates the program if it still runs: a test never leaves one behind.
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD StartError() const { return startError_; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

    // True once the program has ended; waits at most ms milliseconds.
    bool WaitForExit(DWORD ms);
    // The exit code once the program has ended, STILL_ACTIVE before.
    DWORD ExitCode() const;
    // Ends the program now and waits (bounded) until it is gone.
    void Terminate(UINT code);

private:
    PROCESS_INFORMATION info_{};
    DWORD startError_ = 0;
};
