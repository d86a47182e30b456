// The command table: menu, toolbar, pop-up menu and Delete key commands.
#pragma once
#include <windows.h>

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
