// The main window: class, creation, layout, teardown, toolbar host, status bar.
#pragma once
#include <windows.h>

#include "exchange/drop_target.h"
#include "fileops/worker_job.h"

// MSG_LIST_KEYBOARD (lParam: a list) gives that list the keyboard back when
// nothing else took it, as after a rename's edit box has gone. MSG_JOB_DONE
// and MSG_DROP_DONE come from the worker and the drop target.
enum { MSG_LIST_KEYBOARD = 0x8002 };

ATOM RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow();
// Shows the window as the program starts, the active pane's list holding the keyboard.
void ShowMainWindow(HWND window, int show);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The borderless edit control that carries the toolbar, and the toolbar itself.
HWND GetToolbarHost();
HWND GetToolbar();
