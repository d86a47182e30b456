// What the user reads of the file operations: the status bar's two parts
// and the boxes for entries left alone.
#pragma once
#include <windows.h>

// Status bar part 0 or 1; nothing when the status bar doesn't exist. On the
// window's own thread the text shows at once; from the worker it waits for
// ShowPendingProgress, so the worker never waits for the window.
void ShowProgress(int part, const char* text);
// Shows the latest text the worker left for each part. The window's thread
// calls it on the progress timer while a job runs, and with jobEnded when
// the job has ended. A text the window wrote itself is kept for a moment
// before the worker's replace it, except at the job's end.
void ShowPendingProgress(int jobEnded);
enum { TIMER_PROGRESS = 1, PROGRESS_INTERVAL_MS = 50 };
// The message for an item whose path would be too long: it is skipped.
void ReportPathTooLong(const char* folder, const char* name);
// The message naming an entry whose name reaches no file.
void ReportUnreachableName(const char* folder, const char* name);
// Both panes' object counts in the status bar.
void UpdateObjectCounts();
// One pane's count, where its part shows the count and no other text (a
// progress, an end text or a refusal is left to be read).
void RefreshObjectCount(int part);
