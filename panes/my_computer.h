// The My Computer view that a pane with an empty folder path shows.
#pragma once
#include <windows.h>

int ListMyComputer(HWND list);
