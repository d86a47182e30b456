#include <objbase.h>

#include "core/filer_core.h"
#include "core/pane.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/tree_copy.h"
#include "fileops/tree_delete.h"
#include "fileops/walk_paths.h"
#include "fileops/worker_job.h"

WorkerJob gWorkerJob;
static HANDLE gWorkerHandle;

int JobRunning() {
    return gWorkerHandle != nullptr;
}

// 1 when target is inside what the job reads or writes: a folder with
// everything below it, or an entry a paste or a drop copies. With holds,
// also when target holds one of them.
static int Meets(const FilePath& where, const FilePath& target, int holds) {
    if (IsSameOrInside(where.text, target.text) || (holds && IsSameOrInside(target.text, where.text)))
        return 1;
    return IsSameOrInsideFolder(where, target) || (holds && IsSameOrInsideFolder(target, where));
}

static int MeetsJob(const FilePath& target, int holds) {
    const WorkerJob& job = gWorkerJob;
    for (const char* folder : {job.sourceFolder, job.destFolder}) {
        FilePath jobFolder;
        if (folder[0] && SetFilePath(&jobFolder, folder) && Meets(jobFolder, target, holds))
            return 1;
    }
    // What a paste or a drop reads may lie anywhere: a rename or a delete
    // of it, or of a folder holding it, would take it from under the copy.
    for (const CopyPair& pair : job.pairs)
        if (Meets(pair.source, target, holds))
            return 1;
    for (const FilePath& dropped : job.dropped)
        if (Meets(dropped, target, holds))
            return 1;
    return 0;
}

int JobMeets(const char* folder, const SelectedItem* items, int count) {
    if (!JobRunning())
        return 0;
    FilePath where;
    if (SetFilePath(&where, folder) && MeetsJob(where, 0))
        return 1;
    for (int i = 0; i < count; i++) {
        // A folder among the items would take the job's folders away if it
        // holds them; a file matters where a paste or a drop reads it.
        FilePath path;
        if (ItemFilePath(&path, folder, items[i].name, RealNameOf(items[i]), WALK_PATH_MAX) &&
            MeetsJob(path, (ItemAttributes(items[i].param) & FILE_ATTRIBUTE_DIRECTORY) != 0))
            return 1;
    }
    return 0;
}

void CopyPairs(const std::vector<CopyPair>& pairs, const WalkRun& run) {
    for (const CopyPair& pair : pairs) {
        if (IsCancelled(run.cancel))
            return;
        run.sink.Progress(0, NameOfPath(pair.target.text));
        CopyTree(pair.source, pair.target, pair.force, run.cancel, run.sink);
    }
}

static DWORD WINAPI WorkerMain(LPVOID argument) {
    WorkerJob* job = (WorkerJob*)argument;
    // The shell's recycle bin is a COM client: it needs an apartment here.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    WalkRun run{&gCore->cancelFlag, *job->sink, job->owner};
    switch (job->kind) {
    case JOB_COPY_SELECTION:
        WalkSelection(CopyVisitor, job->items, job->sourceFolder, job->destFolder, run);
        break;
    case JOB_COPY_FOLDER: CopyFolderContents(job->sourceFolder, job->destFolder, run.cancel, run.sink); break;
    case JOB_DELETE: WalkSelection(DeleteVisitor, job->items, job->sourceFolder, nullptr, run); break;
    case JOB_RECYCLE: WalkSelection(RecycleVisitor, job->items, job->sourceFolder, nullptr, run); break;
    case JOB_MOVE: WalkSelection(MoveVisitor, job->items, job->sourceFolder, job->destFolder, run); break;
    case JOB_PASTE: CopyPairs(job->pairs, run); break;
    case JOB_DROP:
        CopyPathsInto(job->dropped.data(), job->destFolder, (WORD)job->dropped.size(), run.cancel, run.sink);
        break;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    PostMessageA(job->owner, MSG_JOB_DONE, 0, 0);
    return 0;
}

static void ReleaseJobData() {
    WorkerJob& job = gWorkerJob;
    FreeSelection(&job.items);
    std::vector<CopyPair>().swap(job.pairs);
    std::vector<FilePath>().swap(job.dropped);
}

int StartJob() {
    // An Esc from before the job must not stop it.
    InterlockedExchange(&gCore->cancelFlag, 0);
    // Suspended until the handle is recorded, so the job always finds it.
    HANDLE worker = CreateThread(nullptr, 0, WorkerMain, &gWorkerJob, CREATE_SUSPENDED, nullptr);
    if (!worker) {
        ReleaseJobData();
        return 0;
    }
    gWorkerHandle = worker;
    ResumeThread(worker);
    return 1;
}

void CancelJob() {
    InterlockedExchange(&gCore->cancelFlag, 1);
}

int FinishJob() {
    if (!gWorkerHandle)
        return 0;
    // The worker posts its end as its last act, so the wait is short.
    WaitForSingleObject(gWorkerHandle, INFINITE);
    CloseHandle(gWorkerHandle);
    gWorkerHandle = nullptr;
    ReleaseJobData();
    return 1;
}

int SelectionCopiesIntoItself(const Selection& items, const char* source, const char* destination,
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
