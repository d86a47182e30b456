#include "base/prompts.h"
#include "core/filer_core.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/tree_copy.h"
#include "fileops/tree_delete.h"
#include "fileops/walk_paths.h"
#include "fileops/worker_job.h"
#include "res/resource.h"

WorkerJob gWorkerJob;
HANDLE gWorkerHandle;
static int gCloseAfterJob;

int JobRunning() {
    return gWorkerHandle != nullptr;
}

static void Refuse(const char* text) {
    MessageBeep(MB_OK);
    ShowProgress(0, text);
}

int RefuseWhileJobRuns() {
    // A window that closes once its job's boxes are gone takes no new job.
    if (!JobRunning() && !gCloseAfterJob)
        return 0;
    Refuse("処理中です");
    return 1;
}

// 1 when path is one of the folders the running job reads or writes (a
// copy's two, a delete's one), or lies below one of them, or, with holds,
// holds one of them. Judged by identity, so no other spelling of a folder
// (a link, a short name, a "\\?\" form, a case twin) gets past it.
static int MeetsJob(const FilePath& target, int holds) {
    const WorkerJob& job = gWorkerJob;
    const char* folders[2] = {job.sourceFolder, job.kind != JOB_DELETE ? job.destFolder : ""};
    const char* path = target.text;
    for (const char* folder : folders) {
        if (IsSameOrInside(folder, path) || (holds && IsSameOrInside(path, folder)))
            return 1;
        FilePath jobFolder;
        if (folder[0] && SetFilePath(&jobFolder, folder) &&
            (IsSameOrInsideFolder(jobFolder, target) || (holds && IsSameOrInsideFolder(target, jobFolder))))
            return 1;
    }
    return 0;
}

int RefuseChangeBesideJob(const char* folder, const SelectedItem* items, int count) {
    if (!JobRunning())
        return 0;
    FilePath where;
    int clash = SetFilePath(&where, folder) && MeetsJob(where, 0);
    for (int i = 0; i < count && !clash; i++) {
        // A folder among the items would take the job's folders away if it
        // holds them; a file is inside them only if its folder is.
        if (!(ItemAttributes(items[i].param) & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        FilePath path;
        clash = ItemFilePath(&path, folder, items[i].name, RealNameOf(items[i]), WALK_PATH_MAX) &&
                MeetsJob(path, 1);
    }
    if (clash)
        Refuse("処理中です");
    return clash;
}

int RefuseWriteBesideJob(const char* path) {
    FilePath target;
    if (!JobRunning() || !SetFilePath(&target, path) || !MeetsJob(target, 1))
        return 0;
    Refuse("処理中です");
    return 1;
}

int RefuseMyComputer(const Pane* source, const Pane* destination) {
    if (source->path[0] != '\0' && destination->path[0] != '\0')
        return 0;
    Refuse("マイコンピュータでは使えません");
    return 1;
}

static DWORD WINAPI WorkerMain(LPVOID argument) {
    WorkerJob* job = (WorkerJob*)argument;
    WalkRun run{&gCore->cancelFlag, *job->sink};
    switch (job->kind) {
    case JOB_COPY_SELECTION:
        WalkSelection(CopyVisitor, job->items, job->sourceFolder, job->destFolder, run);
        break;
    case JOB_COPY_FOLDER:
        gCore->CopyFolderContents(job->sourceFolder, job->destFolder, run.cancel, run.sink);
        break;
    case JOB_DELETE: WalkSelection(DeleteVisitor, job->items, job->sourceFolder, nullptr, run); break;
    }
    PostMessageA(job->owner, MSG_JOB_DONE, 0, 0);
    return 0;
}

static void StartWorker() {
    // An Esc from before the job must not stop it.
    InterlockedExchange(&gCore->cancelFlag, 0);
    // Suspended until the handle is recorded, so the job always finds it.
    HANDLE worker = CreateThread(nullptr, 0, WorkerMain, &gWorkerJob, CREATE_SUSPENDED, nullptr);
    if (!worker) {
        FreeSelection(&gWorkerJob.items);
        return;
    }
    gWorkerHandle = worker;
    SetTimer(gWorkerJob.owner, TIMER_PROGRESS, PROGRESS_INTERVAL_MS, nullptr);
    ResumeThread(worker);
}

// Every selected folder checked before anything is copied.
static int SelectionCopiesIntoItself(const Selection& items, const char* source, const char* destination,
                                     WalkSink& sink) {
    for (int i = 0; i < items.count; i++) {
        if (!(ItemAttributes(items.items[i].param) & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const SelectedItem& item = items.items[i];
        FilePath from, to;
        if (ItemFilePath(&from, source, item.name, RealNameOf(item), WALK_PATH_MAX) &&
            ItemFilePath(&to, destination, item.name, RealNameOf(item), WALK_PATH_MAX) &&
            RefuseCopyIntoItself(from, to, sink))
            return 1;
    }
    return 0;
}

static int RefreshOf(const Pane* pane) {
    return pane == &gPanes[PANE_LEFT] ? REFRESH_LEFT : REFRESH_RIGHT;
}

void StartCopyJob(WORD command, const Pane* from, const Pane* to, WalkSink& sink) {
    if (RefuseWhileJobRuns())
        return;
    int selected = command == CMD_LEFT_COPY_SELECTED || command == CMD_RIGHT_COPY_SELECTED;
    if (RefuseMyComputer(from, to))
        return;
    WorkerJob& job = gWorkerJob;
    job.kind = selected ? JOB_COPY_SELECTION : JOB_COPY_FOLDER;
    job.list = selected ? from->list : nullptr;
    CopyFolderPath(job.sourceFolder, from->path);
    CopyFolderPath(job.destFolder, to->path);
    job.refresh = RefreshOf(to);
    job.sink = &sink;
    FreeSelection(&job.items);
    if (selected) {
        TakeSelection(from->list, &job.items);
        if (SelectionCopiesIntoItself(job.items, job.sourceFolder, job.destFolder, sink)) {
            FreeSelection(&job.items);
            return;
        }
    } else if (RefuseCopyIntoItself(job.sourceFolder, job.destFolder, sink)) {
        return;
    }
    StartWorker();
}

void StartDeleteJob(const Pane* pane, const char* folder, Selection* items, WalkSink& sink) {
    if (RefuseWhileJobRuns()) {
        FreeSelection(items);
        return;
    }
    WorkerJob& job = gWorkerJob;
    job.kind = JOB_DELETE;
    job.list = pane->list;
    CopyFolderPath(job.sourceFolder, folder);
    job.refresh = RefreshOf(pane);
    job.sink = &sink;
    FreeSelection(&job.items);
    job.items = *items;
    items->items = nullptr;
    items->count = 0;
    StartWorker();
}

LRESULT OnJobDone(HWND window) {
    if (!gWorkerHandle)
        return 0;
    // The worker posts this as its last act, so the wait is short.
    WaitForSingleObject(gWorkerHandle, INFINITE);
    CloseHandle(gWorkerHandle);
    gWorkerHandle = nullptr;
    KillTimer(window, TIMER_PROGRESS);
    ShowPendingProgress(1);
    WorkerJob& job = gWorkerJob;
    FreeSelection(&job.items);
    job.sink->Ended(job.kind);
    if (job.refresh & REFRESH_LEFT)
        gCore->ListFolder(gPanes[PANE_LEFT].list, gPanes[PANE_LEFT].path);
    if (job.refresh & REFRESH_RIGHT)
        gCore->ListFolder(gPanes[PANE_RIGHT].list, gPanes[PANE_RIGHT].path);
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
    InterlockedExchange(&gCore->cancelFlag, 1);
    gCloseAfterJob = 1;
    ShowProgress(0, "処理を中止して終了します");
}

void RecycleSelection(const char* folder, const Selection& items, WalkSink& sink) {
    WalkSelection(RecycleVisitor, items, folder, nullptr, WalkRun{nullptr, sink});
}
