// The application object: the one place the program starts from.
#pragma once

class Application {
public:
    virtual ~Application() = default;
    // Runs the program's window modally; false: the program ends when it returns.
    virtual bool InitInstance() = 0;
    // InitInstance; the exit code. The window's modal loop is the program's only
    // message loop, so nothing is left to run once InitInstance returns.
    int Run() {
        InitInstance();
        return 0;
    }
};
