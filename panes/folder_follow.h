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
// The window changed the pane's rows itself (a rename): a read begun before
// is older than they are, and the folder is read again.
void ReadPaneAgain(int side);
// While a job runs, reads ask the shell about items by their extension
// alone, so that no file the job acts on is opened by them. A job that
// removes or moves entries (removing) also makes every pane but the kept
// ones (1 << side) let go of its folder, and a kept one that is led
// elsewhere: a folder with a handle on it is not removed until the handle
// goes (under Wine; on Windows until the watch has noticed). It returns
// once they have. FollowAfterJob, at the job's end, reads them again.
void FollowDuringJob(int removing, int keptSides);
void FollowAfterJob();
// 1 while such a job runs: a listing then doesn't make its folder the
// current one, which would hold it too.
int HoldingNoFolder();
// The shortest time between two reads of one pane (500 ms; the random-action
// driver shortens it to keep its steps short).
void SetFollowInterval(DWORD milliseconds);

enum FollowResult {
    FOLLOW_NOTHING, // nothing new: no read, a read of an older listing, no change
    FOLLOW_HELD,    // held: the read is dropped, the pane read again once free
    FOLLOW_SHOWN,   // the pane shows what was read
    FOLLOW_GONE,    // the pane's folder is gone: the window takes it elsewhere
    FOLLOW_DRIVES,  // the drives changed: a My Computer pane is listed again
};
// Brings the pane of side up to date with what was read for it, keeping the
// selection, the focus and the scroll on the entries still there; with held
// (a rename, a question, a drag or a drop open there) it waits: the window
// calls ReadPaneAgain once the pane is free.
int TakeFolderRead(int side, HWND list, int held);
// Whether a read for the pane was dropped because it was held.
int FollowHeld(int side);
