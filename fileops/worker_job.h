// The one record handed to the background worker.
#pragma once
#include <windows.h>

#include "assoc/filer_core.h"

enum { REFRESH_LEFT = 1, REFRESH_RIGHT = 2 };

struct WorkerJob {
    HWND owner;  // receives MSG_JOB_DONE
    WORD command;
    HWND list;
    char source[PATH_SIZE];
    char destination[PATH_SIZE];
    int refresh;
};

extern WorkerJob gWorkerJob;
