// catstub's entry: a GUI program without a window and without a C runtime.
#include <windows.h>

#include "core/crc32_table.h"
#include "stub/catstub_run.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    PrepareCrc32Tables();
    RunCatstub();
    return 0; // every path ends with exit code 0, success or failure
}

// The process starts here instead of in a C runtime's start-up code: catstub
// needs nothing of one, and without it the program imports kernel32 and user32
// only and links small enough for its fixed image size. Nothing in catstub has
// a static constructor, so none needs running.
extern "C" void WINAPI CatstubEntry() {
    ::ExitProcess(
        static_cast<UINT>(WinMain(::GetModuleHandleA(nullptr), nullptr, ::GetCommandLineA(), SW_SHOWDEFAULT)));
}
