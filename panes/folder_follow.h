// Panes that follow the disk: a thread watches each pane's folder (or, for
// My Computer, the drives) and reads it again when it changes; the window
// swaps what was read into the pane when nothing of the user's is open there.
#pragma once
#include <windows.h>

// Posted to the followed window when a read of a pane is ready; wParam is
// the pane's side.
enum { MSG_FOLDER_READ = 0x8003 };

// Starts the watching thread for the two panes of window; Stop ends it and
// drops what it read.
void StartFollowing(HWND window);
void StopFollowing();
// Told by every listing of a pane: it now shows folder ("" for My Computer),
// its rows sorted by the column in the direction.
void FollowListing(int side, const char* folder, int sortColumn, int sortDirection);
// A job that removes entries lets go of the pane's folder (a folder with a
// handle on it is not removed until the handle goes) and, at its end, the
// pane is read again.
void PauseFollowing(int side);
void ResumeFollowing(int side);
// The shortest time between two reads of one pane (500 ms; the random-action
// driver shortens it to keep its steps short).
void SetFollowInterval(DWORD milliseconds);
// Whether a pane's folder is known to have changed and not yet been shown
// (a change seen, a read running or waiting for the window).
int FollowPending(int side);

enum FollowResult {
    FOLLOW_NOTHING, // nothing new: no read, a read of an older listing, no change
    FOLLOW_HELD,    // kept until the pane is free again (held)
    FOLLOW_SHOWN,   // the pane shows what was read
    FOLLOW_GONE,    // the pane's folder is gone: the window takes it elsewhere
    FOLLOW_DRIVES,  // the drives changed: a My Computer pane is listed again
};
// Brings the pane of side up to date with what was read for it, keeping the
// selection, the focus and the scroll on the entries still there; with held
// (a rename, a question, a drag or a drop open there) it waits for Retry.
int TakeFolderRead(int side, HWND list, int held);
// Whether a read is kept for a pane that was held.
int FollowHeld(int side);
