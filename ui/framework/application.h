// The application object: the one place the program starts from.
#pragma once

class Application {
public:
    virtual ~Application() = default;
    // Runs the program's window; true asks for a message loop afterwards.
    virtual bool InitInstance() = 0;
    // InitInstance, then a message loop when it asks for one; the exit code.
    int Run();
};
