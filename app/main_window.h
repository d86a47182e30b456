// The main window: class, creation, layout, teardown, toolbar host, status bar.
#pragma once
#include <windows.h>

// MSG_LIST_KEYBOARD (lParam: a list) gives that list the keyboard back when
// nothing else took it, as after a rename's edit box has gone.
enum { MSG_JOB_DONE = 0x8000, MSG_DROP_DONE = 0x8001, MSG_LIST_KEYBOARD = 0x8002 };

ATOM RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UpdateObjectCounts();

// The borderless edit control that carries the toolbar, and the toolbar itself.
HWND GetToolbarHost();
HWND GetToolbar();
