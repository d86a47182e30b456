// The file operations as the command table starts them.
#pragma once
#include <windows.h>

#include "panes/pane.h"

// After the user confirmed: the list's selection into the recycle bin (UI thread).
void RecycleSelection(HWND list, const char* folder);
// Permanent delete of the list's selection as a worker job.
void StartDeleteJob(HWND list, const char* folder);
// The four copy commands (125 to 128) as worker jobs.
void StartCopyJob(int command);
void MoveSelection(Pane* from, Pane* to);
LRESULT OnJobDone(HWND window);
