// The one record handed to the background worker.
#pragma once
#include <windows.h>

#include "assoc/filer_core.h"
#include "fileops/selection.h"

enum { REFRESH_LEFT = 1, REFRESH_RIGHT = 2 };

struct WorkerJob {
    HWND owner;  // receives MSG_JOB_DONE
    WORD command;
    HWND list;
    char sourceFolder[PATH_SIZE];
    char destFolder[PATH_SIZE];
    int refresh;
    // The selection the job acts on, taken when it was asked for.
    Selection items;
};

extern WorkerJob gWorkerJob;
// The running worker, null while none runs.
extern HANDLE gWorkerHandle;
