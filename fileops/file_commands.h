// The file operations as the command table starts them.
#pragma once
#include <windows.h>

#include "fileops/selection.h"
#include "core/pane.h"

class WalkSink;
// The recycle-bin delete of taken items (UI thread).
void RecycleSelection(const char* folder, const Selection& items, WalkSink& sink);
// Permanent delete of taken items as a worker job; the job owns the items.
void StartDeleteJob(const Pane* pane, const char* folder, Selection* items, WalkSink& sink);
// The four copy commands (125 to 128) as worker jobs, from one pane to the other.
void StartCopyJob(WORD command, const Pane* from, const Pane* to, WalkSink& sink);
void MoveSelection(Pane* from, Pane* to, WalkSink& sink);
LRESULT OnJobDone(HWND window);
int MoveVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                const WalkRun& run);

int JobRunning();
// Each refuses with a beep and a status text, returning 1, when the command
// can't run: a job runs already / a pane shows My Computer, which has no folder.
int RefuseWhileJobRuns();
int RefuseMyComputer(const Pane* source, const Pane* destination);
// While a job runs, a command that would change the job's folders or what is
// below them (items of `folder` holding them included) is refused as a
// second job is: 1, with the beep and the status text.
int RefuseChangeBesideJob(const char* folder, const SelectedItem* items, int count);
// The same for one path a copy is about to write: a pasted or dropped folder
// of the job folder's name, in its parent, would merge into it.
int RefuseWriteBesideJob(const char* path);
// The window closes at once, or, while a job runs, cancels it and closes when
// it has ended and no box, dialog or drag of the window's thread is open.
void CloseMainWindow(HWND window);
// The window's timer that retries such a close.
void OnCloseTimer(HWND window);
enum { TIMER_CLOSE = 2, CLOSE_RETRY_MS = 100 };

// A pane's folder path into a buffer of PATH_SIZE bytes.
inline void CopyFolderPath(char* dst, const char* folder) {
    lstrcpynA(dst, folder, PATH_SIZE);
}
