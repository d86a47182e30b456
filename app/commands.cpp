#include "app/commands.h"

#include "res/resource.h"

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case CMD_EXIT: DestroyWindow(window); return 0;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}
