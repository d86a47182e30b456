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

// command: 124 or 129 (recycle bin, on that pane) or 145 (permanent, active pane).
void ConfirmAndDelete(Pane* pane, int command);
// Held down, the Delete key issues the permanent delete at every pass of the
// idle poll: its refusal is said once, until the poll sees the key up.
void DeleteKeyReleased();
// The question's dialog; its parameter is the DeleteQuestion it shows.
INT_PTR CALLBACK DeleteConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
