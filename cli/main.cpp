// fendrik: the command-line front end. Ctrl-C asks the running job to stop; a second one ends the program.
#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/run_cli.h"

#ifdef _WIN32
#include <windows.h>

#include <io.h>
#define IsTerminal(stream) (_isatty(_fileno(stream)) != 0)
#else
#include <unistd.h>
#define IsTerminal(stream) (isatty(fileno(stream)) != 0)
#endif

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the Ctrl-C flag is set from a signal handler");

extern "C" void OnInterrupt(int signal) {
    stopRequested.store(true);
    // A job that cannot stop part way must still be endable.
    std::signal(signal, SIG_DFL);
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Names reach the console as the program holds them: in UTF-8, as the manifest asks of Windows.
    if (GetACP() == CP_UTF8)
        SetConsoleOutputCP(CP_UTF8);
#endif
    // A terminal closed or a service stopped ends a job as Ctrl-C does: nothing half-made stays.
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#ifdef SIGHUP
    std::signal(SIGHUP, OnInterrupt);
#endif
    std::ios::sync_with_stdio(true);
    CliStreams streams{std::cout, std::cerr, std::cin, IsTerminal(stdin), IsTerminal(stderr), &stopRequested};
    const int status = RunCli(std::vector<std::string>(argv + 1, argv + argc), streams);
    std::cout.flush();
    return status;
}
