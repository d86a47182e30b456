#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "fileops/worker_job.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (!RegisterMainWindowClass(instance))
        return 0;
    gInstance = instance;
    HWND window = CreateMainWindow();
    if (!window)
        return 0;
    gMainWindow = window;
    gWorkerJob.owner = window;
    ShowMainWindow(window, show);
    return RunMessageLoop();
}
