#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "core/filer_core.h"
#include "fileops/worker_job.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (!RegisterMainWindowClass(instance))
        return 0;
    gInstance = instance;
    // Made with the window, and just before it: a missing "Brenn.dat" is
    // said before any window shows.
    MakeFilerCore();
    HWND window = CreateMainWindow();
    if (!window)
        return 0;
    gMainWindow = window;
    gWorkerJob.owner = window;
    ShowMainWindow(window, show);
    return RunMessageLoop();
}
