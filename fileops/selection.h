// The selected items of a pane.
#pragma once
#include <windows.h>

enum { NAMES_BUFFER_SIZE = 1000 };

// Each selected name followed by CR LF, in list order; 0 when nothing is
// selected. A selection whose names don't fit ends with a line saying how many
// more there are.
int CollectSelectedNames(HWND list, char* names);
