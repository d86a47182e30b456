#include "app/command_path.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/status_text.h"
#include "app/window_sink.h"
#include "base/cp932.h"
#include "base/prompts.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "panes/folder_follow.h"
#include "panes/folder_listing.h"
#include "fileops/file_commands.h"
#include "fileops/worker_job.h"

static RefusalHook gRefusalHook;
// A close asked for while a job ran: the window goes when the job has ended.
static int gCloseAfterJob;

void SetRefusalHook(RefusalHook hook) {
    gRefusalHook = hook;
}

void SayRefused(WORD command, const char* text) {
    MessageBeep(MB_OK);
    if (text[0])
        ShowProgress(0, text);
    if (gRefusalHook)
        gRefusalHook(command, text);
}

static const char kBusy[] = "処理中です";
static const char kNoFolder[] = "マイコンピュータでは使えません";

// A box in place of the status text, for a drop: the user's eyes are on
// where the files were let go, not on the status bar.
static int Refused(const CommandRow& row, const char* text, const char* box) {
    if (!box || text[0])
        SayRefused(row.id, text);
    else if (gRefusalHook)
        gRefusalHook(row.id, text);
    if (box)
        ShowMessage(gMainWindow, box, "Drag&Drop", MB_OK);
    if (row.refusedLatch)
        *row.refusedLatch = 1;
    return 1;
}

WorkerJob& FillJob(JobKind kind, const Pane* from, const Pane* to) {
    WorkerJob& job = gWorkerJob;
    job.kind = kind;
    CopyFolderPath(job.sourceFolder, from ? from->path : "");
    CopyFolderPath(job.destFolder, to ? to->path : "");
    FreeSelection(&job.items);
    job.pairs.clear();
    job.dropped.clear();
    return job;
}

int RefuseCommand(const CommandRow& row, const Pane* pane, const SelectedItem* items, int count) {
    int needs = row.needs;
    if ((needs & NEEDS_SELECTION) && SendMessageA(pane->list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
        // Nothing to act on is nothing to refuse either: a held key stays quiet.
        if (row.nothingSelectedBox)
            ShowMessage(gMainWindow, row.nothingSelectedBox, "Drag&Drop", MB_OK);
        if (gRefusalHook)
            gRefusalHook(row.id, "");
        return 1;
    }
    // Still held since its refusal, the key asks nothing, also once the job has ended.
    if (row.refusedLatch && *row.refusedLatch)
        return 1;
    if ((needs & NEEDS_NO_QUESTION) && UiPromptOpen())
        return Refused(row, "", row.refusedBox);
    if (((needs & NEEDS_FOLDER) && pane->path[0] == '\0') ||
        ((needs & NEEDS_OTHER_FOLDER) && OtherPane(pane)->path[0] == '\0'))
        return Refused(row, kNoFolder, row.refusedBox);
    // A window that closes once its job has ended takes no new job.
    if ((needs & NEEDS_NO_JOB) && (JobRunning() || gCloseAfterJob))
        return Refused(row, kBusy, row.refusedBox);
    if ((needs & NEEDS_CLEAR_OF_JOB) && JobMeets(pane->path, items, count))
        return Refused(row, kBusy, row.refusedBox);
    return 0;
}

static int ChangedBit(const Pane* pane) {
    return pane == &gCore->panes[PANE_RIGHT] ? CHANGED_RIGHT : CHANGED_LEFT;
}

void BringPanesUpToDate(int changed, int shows) {
    for (Pane& pane : gCore->panes) {
        if (!(changed & ChangedBit(&pane)) || !pane.list)
            continue;
        ListFolder(pane.list, pane.path);
        if (shows & SHOWS_PATH)
            SetWindowTextA(pane.pathBox, pane.path);
    }
    if (shows & SHOWS_COUNTS)
        UpdateObjectCounts();
}

// The panes follow a job without opening what it acts on. One that removes
// or moves entries could meet a folder the program holds: the other pane's
// watched folder inside one it deletes, or the current folder (the one
// listed last). Every pane but those showing the job's own folders lets go
// of its folder, and the job's source folder is the current one, until the
// job ends.
static void FollowDuringJobOf(const WorkerJob& job) {
    int removing = job.kind == JOB_DELETE || job.kind == JOB_RECYCLE || job.kind == JOB_MOVE;
    int kept = 0;
    for (int side = 0; side < 2; side++) {
        const char* path = gCore->panes[side].path;
        if (CompareFolded932(path, job.sourceFolder) == 0 || CompareFolded932(path, job.destFolder) == 0)
            kept |= 1 << side;
    }
    FollowDuringJob(removing, kept);
    if (removing)
        SetCurrentDirectoryA(job.sourceFolder);
}

void RunCommand(HWND window, const CommandRow& row) {
    Pane* pane = row.side == SIDE_ACTIVE ? ActivePane() : &gCore->panes[row.side];
    if (!pane || !row.action || RefuseCommand(row, pane, nullptr, 0))
        return;
    CommandCall call = {window, pane, OtherPane(pane), row.id};
    int changed = ((row.changes & CHANGES_PANE) ? ChangedBit(pane) : 0) |
                  ((row.changes & CHANGES_OTHER) ? ChangedBit(call.other) : 0);
    switch (row.action(call)) {
    case ACTION_DONE: BringPanesUpToDate(changed, row.changes); break;
    case ACTION_JOB: {
        WorkerJob& job = gWorkerJob;
        job.owner = window;
        job.changes = changed;
        job.shows = row.changes & SHOWS_COUNTS;
        job.sink = &WindowWalkSink();
        FollowDuringJobOf(job);
        if (StartJob())
            SetTimer(window, TIMER_PROGRESS, PROGRESS_INTERVAL_MS, nullptr);
        else
            FollowAfterJob();
        break;
    }
    case ACTION_NOTHING: break;
    }
}

LRESULT OnJobDone(HWND window) {
    if (!FinishJob())
        return 0;
    KillTimer(window, TIMER_PROGRESS);
    ShowPendingProgress(1);
    WorkerJob& job = gWorkerJob;
    job.sink->Ended(job.kind);
    // The end text stays in the status bar, unless the command shows the counts there.
    // Before the listings, which make their folders current again.
    FollowAfterJob();
    BringPanesUpToDate(job.changes, job.shows);
    if (gCloseAfterJob)
        OnCloseTimer(window);
    return 0;
}

// The job may end inside a box, a dialog or a drag of this thread, whose
// operation would go on after the window: the close then waits for it.
void OnCloseTimer(HWND window) {
    if (gCloseAfterJob && UiLoopOpen()) {
        SetTimer(window, TIMER_CLOSE, CLOSE_RETRY_MS, nullptr);
        return;
    }
    KillTimer(window, TIMER_CLOSE);
    if (gCloseAfterJob && !JobRunning()) {
        gCloseAfterJob = 0;
        DestroyWindow(window);
    }
}

void CloseMainWindow(HWND window) {
    // A question or a drag open on this thread still has its operation on the stack.
    if (UiLoopOpen()) {
        MessageBeep(MB_OK);
        return;
    }
    if (!JobRunning()) {
        DestroyWindow(window);
        return;
    }
    // The worker needs this thread to answer its messages, so nothing waits
    // here: the job is cancelled and the window closes when it has ended.
    CancelJob();
    gCloseAfterJob = 1;
    ShowProgress(0, "処理を中止して終了します");
}
