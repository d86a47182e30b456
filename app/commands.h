// The command table: menu, toolbar, pop-up menu and Delete key commands.
#pragma once
#include <windows.h>

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
// The Tools menu at the pointer, for a right click anywhere in the window.
LRESULT OnContextMenu(HWND window, LPARAM lParam);
