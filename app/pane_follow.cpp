#include "app/pane_follow.h"

#include <commctrl.h>

#include "app/status_text.h"
#include "base/prompts.h"
#include "base/text_buffer.h"
#include "core/pane.h"
#include "exchange/drop_target.h"
#include "fileops/file_path.h"
#include "panes/compose_path.h"
#include "panes/folder_follow.h"
#include "panes/folder_listing.h"
#include "panes/rename.h"

// A rows change under an open edit, question, drag or drop would move what
// the user is acting on.
static int PaneHeld(const Pane& pane) {
    return UiLoopOpen() || RenameOpenIn(pane.list) || (gDropTarget && gDropTarget->hovering);
}

// The pane's folder was removed or renamed: it shows the nearest folder above
// that still exists (My Computer above the drives), and says why.
static void LeaveGoneFolder(Pane& pane) {
    char gone[PATH_SIZE];
    CopyText(gone, sizeof gone, pane.path);
    do {
        if (ComposePath("..", pane.path, sizeof pane.path) != COMPOSE_DONE)
            pane.path[0] = '\0';
    } while (pane.path[0] && !FolderExists(pane.path));
    ListFolder(pane.list, pane.path);
    SetWindowTextA(pane.pathBox, pane.path);
    char text[PATH_SIZE + 64];
    FormatText(text, sizeof text, "フォルダがなくなりました: %s", gone);
    ShowProgress(pane.list == gCore->panes[PANE_LEFT].list ? 0 : 1, text);
}

LRESULT OnFolderRead(HWND window, int side) {
    if (side < 0 || side > 1)
        return 0;
    Pane& pane = gCore->panes[side];
    // Neither the rows' states set anew nor a listing of the folder above is
    // the user's act: the active pane stays.
    int active = gCore->activePane;
    switch (TakeFolderRead(side, pane.list, PaneHeld(pane))) {
    case FOLLOW_SHOWN:
    case FOLLOW_DRIVES: RefreshObjectCount(side); break;
    case FOLLOW_HELD: SetTimer(window, TIMER_FOLLOW, FOLLOW_RETRY_MS, nullptr); break;
    case FOLLOW_GONE:
        // Back meanwhile (a folder made anew): it is read again instead.
        if (FolderExists(pane.path))
            ReadPaneAgain(side);
        else
            LeaveGoneFolder(pane);
        break;
    }
    gCore->activePane = active;
    return 0;
}

void OnFollowTimer(HWND window) {
    KillTimer(window, TIMER_FOLLOW);
    for (int side = 0; side < 2; side++) {
        if (!FollowHeld(side))
            continue;
        if (PaneHeld(gCore->panes[side]))
            SetTimer(window, TIMER_FOLLOW, FOLLOW_RETRY_MS, nullptr);
        else
            ReadPaneAgain(side);
    }
}
