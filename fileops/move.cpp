#include "core/filer_core.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "fileops/walk_sink.h"

int MoveVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                const WalkRun& run) {
    FilePath source, destination;
    if (!FormItemPaths(firstFolder, secondFolder, item, &source, &destination, run.sink))
        return 1;
    run.sink.Progress(0, item.name);
    if (!MoveFileOfPath(source, destination, 0))
        run.sink.Failed(source.text, "Move File ERROR");
    return 1;
}

void MoveSelection(Pane* from, Pane* to, WalkSink& sink) {
    if (RefuseMyComputer(from, to))
        return;
    // The folders as they are now: a box shown during the walk must not let a
    // navigation change where the remaining items go.
    char source[PATH_SIZE], destination[PATH_SIZE];
    CopyFolderPath(source, from->path);
    CopyFolderPath(destination, to->path);
    ScopedSelection items(from->list);
    if (RefuseChangeBesideJob(source, items.taken.items, items.taken.count) ||
        RefuseChangeBesideJob(destination, nullptr, 0))
        return;
    WalkSelection(MoveVisitor, items.taken, source, destination, WalkRun{nullptr, sink});
    gCore->ListFolder(gPanes[PANE_LEFT].list, gPanes[PANE_LEFT].path);
    gCore->ListFolder(gPanes[PANE_RIGHT].list, gPanes[PANE_RIGHT].path);
}
