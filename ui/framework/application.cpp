// The application object's run: initialise, then loop only when asked to.
#include "ui/framework/application.h"

#include <windows.h>

int Application::Run() {
    if (!InitInstance())
        return 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
