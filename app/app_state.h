// Process-wide state of the window side of the program.
#pragma once
#include <windows.h>

extern HINSTANCE gInstance;
extern HWND gMainWindow;
// 1 while a path box has the keyboard focus or an in-place rename is open.
extern int gEditing;

extern const char kMainClassName[];
