// Dragging a pane's selection out to other programs.
#pragma once
#include <windows.h>

void OnBeginDrag(HWND mainWindow);
