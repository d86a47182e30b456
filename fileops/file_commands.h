// The file operations as the command table starts them.
#pragma once
#include <windows.h>

#include "fileops/selection.h"
#include "panes/pane.h"

// The recycle-bin delete of taken items (UI thread).
void RecycleSelection(const char* folder, const Selection& items);
// Permanent delete of taken items as a worker job; the job owns the items.
void StartDeleteJob(const Pane* pane, const char* folder, Selection* items);
// The four copy commands (125 to 128) as worker jobs.
void StartCopyJob(int command);
void MoveSelection(Pane* from, Pane* to);
LRESULT OnJobDone(HWND window);
int MoveVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item, int extra,
                CancelSource cancel);

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
// it has ended.
void CloseMainWindow(HWND window);

inline void CopyFolder(char* dst, const char* folder) { lstrcpynA(dst, folder, PATH_SIZE); }
