// The one record handed to the background worker.
#pragma once
#include <windows.h>

#include "core/filer_core.h"
#include "fileops/selection.h"
#include "fileops/walk_sink.h"

enum { REFRESH_LEFT = 1, REFRESH_RIGHT = 2 };
// Posted to the job's owner as the worker's last act.
enum { MSG_JOB_DONE = 0x8000 };

struct WorkerJob {
    HWND owner; // receives MSG_JOB_DONE
    JobKind kind;
    HWND list;
    char sourceFolder[PATH_SIZE];
    char destFolder[PATH_SIZE];
    int refresh;
    // The selection the job acts on, taken when it was asked for.
    Selection items;
    // Hears what the job does, on the worker's thread, and its end.
    WalkSink* sink;
};

extern WorkerJob gWorkerJob;
// The running worker, null while none runs.
extern HANDLE gWorkerHandle;
