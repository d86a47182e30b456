// Moving a pane between folders: path boxes, parent folder, My Computer,
// and the rename in place.
#pragma once
#include <windows.h>

#include "core/pane.h"

LRESULT OnPathBoxNotify(Pane* pane, int code);
// Enter in a path box takes the typed path, Esc puts the pane's path back;
// both hand the keyboard to the pane's list. 0 for any other key.
int OnPathBoxKey(Pane* pane, WPARAM key);
void GoToParent(Pane* pane);
void ShowMyComputer(Pane* pane);
// Ends a rename open in this list without renaming: its item is about to go.
void CancelRename(HWND list);
// The rename in place of a list item: its start and its end notification.
// The list's notices come as wide text: its parent asks for them so.
class WalkSink;
LRESULT BeginRename(Pane* pane, const NMLVDISPINFOW* info, WalkSink& sink);
// The entry renamed is the one the edit opened on, wherever a sort moved it;
// mayRename, asked last, can still refuse it (a job started meanwhile).
LRESULT EndRename(Pane* pane, WalkSink& sink, int (*mayRename)(Pane* pane));
// After the list is done with an ended rename: its entry takes the name on the disk.
void ShowRenamedRow();
// Both path boxes show their panes' folders.
void ShowPanePaths();
// 1 for the notifications a list sends when the user acts on it; paint,
// display and bookkeeping notifications are not among them.
int IsUserActionNotice(const NMHDR* header);
