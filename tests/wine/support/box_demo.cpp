// A program that shows message boxes, for testing the robot itself; its argument picks the act.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    if (std::strcmp(arguments, "sequence") == 0) {
        const int first = ::MessageBoxA(nullptr, "One", "First", MB_OKCANCEL | MB_ICONEXCLAMATION);
        const int second = ::MessageBoxA(nullptr, "Two\nlines", "Second", MB_OK | MB_ICONHAND);
        return first * 10 + second;
    }
    if (std::strcmp(arguments, "plain") == 0)
        return ::MessageBoxA(nullptr, "No icon", "Plain", MB_OK);
    if (std::strcmp(arguments, "yesno") == 0)
        return ::MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO | MB_ICONQUESTION);
    if (std::strcmp(arguments, "hang") == 0)
        ::Sleep(INFINITE);
    return 42;
}
