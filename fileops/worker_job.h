// The one record handed to the background worker, and the worker itself.
#pragma once
#include <windows.h>

#include <vector>

#include "base/path_size.h"
#include "fileops/file_path.h"
#include "fileops/selection.h"
#include "fileops/walk_sink.h"

// Posted to the job's owner as the worker's last act.
enum { MSG_JOB_DONE = 0x8000 };

// One entry of a paste: what is copied where, and whether an existing entry
// is replaced (1) or updated by the date rule (0), as the user answered.
struct CopyPair {
    FilePath source;
    FilePath target;
    int force;
};

struct WorkerJob {
    HWND owner; // receives MSG_JOB_DONE; owns the shell's questions
    JobKind kind;
    // The folder read (copy, move) or changed (delete, recycle), and the one
    // written (copy, move, paste, drop); empty where the job has none.
    char sourceFolder[PATH_SIZE];
    char destFolder[PATH_SIZE];
    // The panes the job's end brings up to date, as the command path counts
    // them, and what else its end shows there.
    int changes;
    int shows;
    // The selection the job acts on, taken when it was asked for.
    Selection items;
    // A paste's entries, questions answered; a drop's full paths.
    std::vector<CopyPair> pairs;
    std::vector<FilePath> dropped;
    // Hears what the job does, on the worker's thread.
    WalkSink* sink;
};

extern WorkerJob gWorkerJob;

// A paste's entries in order, each as the user answered its question.
void CopyPairs(const std::vector<CopyPair>& pairs, const WalkRun& run);

int JobRunning();
// Runs gWorkerJob, filled in by the caller, on the worker; 0 (the job's
// items freed) when no thread could be made.
int StartJob();
// Esc, or a close: the job stops between entries.
void CancelJob();
// On MSG_JOB_DONE: waits the last moment of the worker out and frees what
// the job held. 0 when no job had run.
int FinishJob();
// 1 while the running job reads or writes folder or what is below it, or,
// for a folder among items (in folder), what that folder holds. Judged by
// identity, so no other spelling of a folder gets past it.
int JobMeets(const char* folder, const SelectedItem* items, int count);
