// The window's side of panes that follow the disk: what was read is shown
// when nothing of the user's is open in the pane.
#pragma once
#include <windows.h>

enum { TIMER_FOLLOW = 3, FOLLOW_RETRY_MS = 200 };

// A read of the pane of side is ready (MSG_FOLDER_READ).
LRESULT OnFolderRead(HWND window, int side);
// Reads again the panes whose reads were held back by a rename, a question,
// a drag or a drop, once they are free.
void OnFollowTimer(HWND window);
