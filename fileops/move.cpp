#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/selection.h"

int MoveVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item, int, CancelSource) {
    FilePath source, destination;
    if (!FormItemPaths(firstFolder, secondFolder, item, &source, &destination))
        return 1;
    ShowProgress(0, item.name);
    if (!MoveFileOfPath(source, destination, 0))
        ShowMessage(nullptr, source.text, "Move File ERROR", MB_OK);
    return 1;
}

void MoveSelection(Pane* from, Pane* to) {
    if (RefuseMyComputer(from, to))
        return;
    // The folders as they are now: a box shown during the walk must not let a
    // navigation change where the remaining items go.
    char source[PATH_SIZE], destination[PATH_SIZE];
    CopyFolder(source, from->path);
    CopyFolder(destination, to->path);
    Selection items;
    TakeSelection(from->list, &items);
    if (RefuseChangeBesideJob(source, items.items, items.count) ||
        RefuseChangeBesideJob(destination, nullptr, 0)) {
        FreeSelection(&items);
        return;
    }
    WalkSelection(MoveVisitor, items, source, destination, 0, nullptr);
    FreeSelection(&items);
    gCore->ListFolder(gLeftPane.list, gLeftPane.path);
    gCore->ListFolder(gRightPane.list, gRightPane.path);
}
