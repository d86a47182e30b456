// Process-wide state of the window side of the program.
#pragma once
#include <windows.h>

extern HINSTANCE gInstance;
extern HWND gMainWindow;

extern const char kMainClassName[];
