// The two panes: list view, path box and folder path buffer of each.
#pragma once
#include <windows.h>

#include "core/filer_core.h"

// The two panes, left and right; every command of a side names its pane by
// this index.
enum PaneSide { PANE_LEFT = 0, PANE_RIGHT = 1 };

// The pane the commands without a pane of their own act on: the one whose
// list the user last acted on. Null until the first.
Pane* ActivePane();
void MakePaneActive(const Pane* pane);
// Forgets the active pane, as a new main window starts without one.
void ForgetActivePane();
// The pane that owns a list view or a path box, or null.
Pane* PaneOfList(HWND list);
Pane* PaneOfPathBox(HWND box);
Pane* OtherPane(const Pane* pane);
// Puts the keyboard into a control of the window as the program's own act
// (on the window's return, at start-up): a list that gets it this way does
// not become the active pane.
void GiveFocusBack(HWND control);
int GivingFocusBack();

// An item's parameter as commands carry it: its attributes in the low half,
// the low bits of its entry's index in the pane's model in the high half (to
// read, never to find it by). ITEM_HAS_REAL_NAME, a bit no file attribute
// uses, marks an item whose name the code page can't spell.
enum { ITEM_HAS_REAL_NAME = 0x8 };
inline LPARAM MakeItemParam(DWORD attributes, int index) {
    return (LPARAM)(DWORD)((attributes & 0xFFFF) | ((DWORD)index << 16));
}
inline DWORD ItemAttributes(LPARAM param) {
    return (DWORD)param & 0xFFFF & ~(DWORD)ITEM_HAS_REAL_NAME;
}
