// Fendrik's start: the application object shows the main dialog and ends the
// program when it closes. Nothing is saved.
#include <windows.h>

#include <commctrl.h>

#include "ui/framework/application.h"
#include "ui/framework/command_line.h"
#include "ui/framework/win32_messenger.h"
#include "ui/main_dialog.h"
#include "ui/pickers.h"

namespace {

class FendrikApp : public Application {
public:
    bool InitInstance() override {
        // The up-down control and the progress bar are common controls.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        Win32Messenger messenger;
        FilePickers pickers(messenger);
        MainDialog dialog(messenger, pickers);
        messenger.SetOwner(&dialog);
        pickers.SetOwner(&dialog);
        dialog.SetStartFiles(CommandLineFiles());
        dialog.DoModal();
        return false;
    }
};

FendrikApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return theApp.Run();
}
