// The file operations' visitors and checks as the command path uses them.
#pragma once
#include <windows.h>

#include "fileops/selection.h"
#include "fileops/worker_job.h"

class WalkSink;
int MoveVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                const WalkRun& run);
// Refuses, told to the sink, a copy of the selection when a selected folder
// would be copied into itself; every folder is checked before anything is copied.
int SelectionCopiesIntoItself(const Selection& items, const char* source, const char* destination,
                              WalkSink& sink);

// A pane's folder path into a buffer of PATH_SIZE bytes.
inline void CopyFolderPath(char* dst, const char* folder) {
    lstrcpynA(dst, folder, PATH_SIZE);
}
