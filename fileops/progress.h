// What the file operations show while they work.
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
// A name holding a character of path syntax ("q\"x", "a\\b" as Wine lists
// them) reaches no file, or another one: 1 when realName is such a name;
// such an entry is left alone.
int IsUnreachableName(const WCHAR* realName);
// The message naming such an entry.
void ReportUnreachableName(const char* folder, const char* name);
// IsUnreachableName, and the message when it is.
int RefuseUnreachableName(const char* folder, const char* name, const WCHAR* realName);
struct FilePath;
struct SelectedItem;
class WalkSink;
// first + item and second + item, the item's real name on both sides; 0,
// told to the sink, when either would pass 259 bytes.
int FormItemPaths(const char* first, const char* second, const SelectedItem& item, FilePath* source,
                  FilePath* destination, WalkSink& sink);
