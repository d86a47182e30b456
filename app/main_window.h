// The main window: class, creation, layout, teardown, toolbar host, status bar.
#pragma once
#include <windows.h>

enum { MSG_JOB_DONE = 0x8000, MSG_DROP_DONE = 0x8001 };

ATOM RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UpdateObjectCounts();

// The borderless edit control that carries the toolbar, and the toolbar itself.
HWND GetToolbarHost();
HWND GetToolbar();
