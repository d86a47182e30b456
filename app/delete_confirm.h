// The question before any delete.
#pragma once
#include <windows.h>

#include "core/pane.h"

#include "fileops/selection.h"

// What the question before a delete shows: the question, and the names one a line.
struct DeleteQuestion {
    char question[100];
    char names[NAMES_BUFFER_SIZE];
};

// Asks before a delete from the pane, for good or into the recycle bin; 1
// when the user said yes and gWorkerJob holds what to delete.
int ConfirmAndDelete(Pane* pane, int permanent);
// The question's dialog; its parameter is the DeleteQuestion it shows.
INT_PTR CALLBACK DeleteConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
