// For scripts/bench.sh: runs a self-joining first piece in its folder, answers OK to its confirmation, its
// rebuild question and its result, and prints the wall time of the run in seconds and the boxes shown.
// Not a test. Usage: catstub_rebuild_timer FIRST_PIECE FOLDER
#include <windows.h>

#include <cstdio>

#include "tests/wine/support/box_robot.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: catstub_rebuild_timer FIRST_PIECE FOLDER\n");
        return 2;
    }
    RobotRun run;
    run.program = argv[1];
    run.directory = argv[2];
    run.script = {{"User Confirm", IDOK}, {"User Confirm", IDOK}, {"Info", IDOK}};
    run.deadlineMs = 600000;
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const RobotResult result = RunWithRobot(run);
    ::QueryPerformanceCounter(&end);
    for (const std::string& line : result.Lines())
        std::fprintf(stderr, "%s\n", line.c_str());
    const bool rebuilt = result.boxes.size() == 3 && result.Unexpected().empty() && !result.timedOut;
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return rebuilt ? 0 : 1;
}
