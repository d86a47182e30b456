// A drag out of a pane and a drop on the window, as commands.
#pragma once
#include <windows.h>

struct Pane;
// A drag begun in the pane's list (LVN_BEGINDRAG).
void DragFromList(HWND window, Pane* pane);
// A drop on the window has stored count names (MSG_DROP_DONE): their copy.
LRESULT OnDropDone(HWND window, WPARAM count);
