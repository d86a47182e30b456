// The rename in place of a list item.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "core/pane.h"

// Whether a rename edit is open in this list, or its row waits to be shown anew.
int RenameOpenIn(HWND list);
// Ends a rename open in this list without renaming: its item is about to go.
void CancelRename(HWND list);
// Its start and its end notification.
// The list's notices come as wide text: its parent asks for them so.
class WalkSink;
LRESULT BeginRename(Pane* pane, const NMLVDISPINFOW* info, WalkSink& sink);
// The entry renamed is the one the edit opened on, wherever a sort moved it;
// mayRename, asked last, can still refuse it (a job started meanwhile).
struct SelectedItem;
LRESULT EndRename(Pane* pane, WalkSink& sink, int (*mayRename)(Pane* pane, const SelectedItem* item));
// After the list is done with an ended rename: its entry takes the name on the disk.
void ShowRenamedRow();
