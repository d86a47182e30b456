// The panes' share of the main window: list-view notifications, path boxes,
// parent folder and My Computer.
#pragma once
#include <windows.h>

#include "panes/pane.h"

LRESULT OnListNotify(Pane* pane, const NMHDR* header);
LRESULT OnPathBoxNotify(Pane* pane, int code);
// Enter in a path box takes the typed path, Esc puts the pane's path back;
// both hand the keyboard to the pane's list. 0 for any other key.
int OnPathBoxKey(Pane* pane, WPARAM key);
// What a double-click on the item does: enter the folder or open the file.
void OpenListItem(Pane* pane, int item);
void GoToParent(Pane* pane);
void ShowMyComputer(Pane* pane);
// Ends a rename open in this list without renaming: its item is about to go.
void CancelRename(HWND list);
// The pane that owns a list view, or null.
Pane* PaneOfList(HWND list);
// The pane the commands without a pane of their own act on from now.
void MakePaneActive(const Pane* pane);
// 1 for the notifications a list sends when the user acts on it; paint,
// display and bookkeeping notifications are not among them.
int IsUserActionNotice(const NMHDR* header);
