// The one way every command goes: its row says what it needs and which panes
// it changes; a command that lacks a need is refused in one place, and the
// panes it changed are brought up to date in one place, after the command
// or, for long work, at its job's end.
#pragma once
#include <windows.h>

#include "fileops/walk_sink.h"

struct Pane;
struct SelectedItem;
struct WorkerJob;

enum CommandNeeds {
    NEEDS_FOLDER = 1,       // its pane shows a folder, not My Computer
    NEEDS_OTHER_FOLDER = 2, // and so does the other pane
    NEEDS_NO_JOB = 4,       // it starts a job, and one runs at a time
    NEEDS_CLEAR_OF_JOB = 8, // it changes its pane's folder: not where the running job reads or writes
    NEEDS_SELECTION = 16,   // something is selected in its pane; without, it does nothing
    NEEDS_NO_QUESTION = 32, // no question of the window is open (menu commands are all refused then)
};
// Which panes a command changes, and what else of them it shows anew
// (their folders are always listed again).
enum PaneChanges {
    CHANGES_NONE = 0,
    CHANGES_PANE = 1,
    CHANGES_OTHER = 2,
    CHANGES_BOTH = 3,
    SHOWS_PATH = 4,   // the changed panes' path boxes
    SHOWS_COUNTS = 8, // both panes' counts in the status bar
};
// What an action did: its changed panes are brought up to date now, at its
// job's end, or not at all.
enum ActionResult { ACTION_DONE, ACTION_JOB, ACTION_NOTHING };
// A row's pane: a side, or the active pane.
enum { SIDE_ACTIVE = -1 };
// What no menu sends: a drag out of a pane and a drop on the window.
enum { COMMAND_DRAG = 0x7F01, COMMAND_DROP = 0x7F02 };

struct CommandCall {
    HWND window;
    Pane* pane;
    Pane* other;
    WORD id;
};

struct CommandRow {
    WORD id;
    int side; // PANE_LEFT, PANE_RIGHT or SIDE_ACTIVE
    int needs;
    int changes;
    // Fills in gWorkerJob's kind, folders and items for ACTION_JOB; the path
    // starts it. Null for a command only checked here (a rename).
    ActionResult (*action)(const CommandCall& call);
    // The key command that stands for it in the active pane, or 0.
    WORD key = 0;
    // Told by this box instead of a beep and a status text, or null; the
    // second where nothing is selected, which is otherwise quiet.
    const char* refusedBox = nullptr;
    const char* nothingSelectedBox = nullptr;
    // Set while a refusal was said and its key is still held (the Delete key).
    int* refusedLatch = nullptr;
};

// gWorkerJob emptied and given its kind and folders as they are now (a
// navigation while it runs must not change where the remaining items go);
// the action adds its items.
WorkerJob& FillJob(JobKind kind, const Pane* from, const Pane* to);
// Runs a command by its row: refused, said, as its needs say, or done and
// its changed panes brought up to date.
void RunCommand(HWND window, const CommandRow& row);
// 1, said, when the command can't run on pane now; items are the entries it
// would change (a rename's).
int RefuseCommand(const CommandRow& row, const Pane* pane, const SelectedItem* items, int count);
// A refusal as the user hears it: a beep and the text in the status bar.
void SayRefused(WORD command, const char* text);
// Each refusal is also told here (tests, the random-action driver).
typedef void (*RefusalHook)(WORD command, const char* text);
void SetRefusalHook(RefusalHook hook);

enum { CHANGED_LEFT = 1, CHANGED_RIGHT = 2 };
// Lists the changed panes' folders again and shows what `shows` says.
void BringPanesUpToDate(int changed, int shows);

// The running job has ended (MSG_JOB_DONE).
LRESULT OnJobDone(HWND window);
// The window closes at once, or, while a job runs, cancels it and closes when
// it has ended and no box, dialog or drag of the window's thread is open.
void CloseMainWindow(HWND window);
// The window's timer that retries such a close.
void OnCloseTimer(HWND window);
enum { TIMER_CLOSE = 2, CLOSE_RETRY_MS = 100 };
