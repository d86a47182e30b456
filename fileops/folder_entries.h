// The folder loop the copy and delete walks share.
#pragma once
#include <windows.h>

#include "base/scoped.h"
#include "fileops/file_path.h"
#include "fileops/folder_handle.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "fileops/walk_paths.h"
#include "fileops/walk_sink.h"

// Hands each entry of a folder, in the search's order, to visit(entry, path):
// "." and ".." are passed over (".git" and ".gitignore" are the user's data),
// and an entry no path reaches, or whose path
// would pass the limit, is told to the sink and left alone. Stops between
// entries once cancelled. 0 after a search; the search's error when the
// folder could not be searched (ERROR_FILE_NOT_FOUND: nothing in it at all).
// opened, when valid, is a handle OpenFolderToList gave on the folder.
template <class Visit>
DWORD ForEachEntry(const FilePath& folder, HANDLE opened, CancelSource cancel, WalkSink& sink, Visit visit) {
    FoundEntry found;
    EntrySearch search(folder, opened);
    if (DWORD error = search.First(&found))
        return error;
    do {
        if (IsCancelled(cancel))
            break;
        const char* name = found.found.cFileName;
        // A real name the code page spells as "." or ".." is an entry still.
        if (IsFolderSelfEntry(name) && !RealNameOf(found))
            continue;
        if (IsUnreachableName(RealNameOf(found))) {
            sink.Unreachable(folder.text, name);
            continue;
        }
        FilePath child;
        if (!ChildFilePath(&child, folder, name, RealNameOf(found))) {
            sink.PathTooLong(folder.text, name);
            continue;
        }
        visit(found, child);
    } while (search.Next(&found));
    return 0;
}

template <class Visit>
DWORD ForEachEntry(const FilePath& folder, CancelSource cancel, WalkSink& sink, Visit visit) {
    return ForEachEntry(folder, INVALID_HANDLE_VALUE, cancel, sink, visit);
}
