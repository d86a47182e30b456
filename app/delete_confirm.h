// The question before any delete.
#pragma once
#include <windows.h>

#include "core/pane.h"

extern char gQuestionBuffer[100];
extern char gNamesBuffer[1000];

// command: 124 or 129 (recycle bin, on that pane) or 145 (permanent, active pane).
void ConfirmAndDelete(Pane* pane, int command);
INT_PTR CALLBACK DeleteConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
