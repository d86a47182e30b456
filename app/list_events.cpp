#include "app/list_events.h"

#include "app/app_state.h"
#include "app/open_with.h"
#include "app/window_sink.h"
#include "core/filer_core.h"
#include "app/command_path.h"
#include "app/main_window.h"
#include "app/drag_drop.h"
#include "app/status_text.h"
#include "core/pane.h"
#include "res/resource.h"
#include "fileops/selection.h"
#include "panes/compose_path.h"
#include "panes/navigation.h"
#include "panes/rename.h"
#include "panes/folder_listing.h"

static void OnDoubleClick(Pane* pane, HWND list) {
    LVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(list, &hit.pt);
    int item = (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&hit);
    if (item >= 0 && (hit.flags & LVHT_ONITEM))
        OpenListItem(pane, item);
}

void OpenListItem(Pane* pane, int item) {
    SelectedItem named;
    RealName real;
    if (!ReadListItem(pane->list, item, &named, &real, WindowWalkSink()))
        return;
    // A name the code page can't spell reaches the item only by its short name.
    const char* passed = NameForOthers(named, WindowWalkSink());
    if (!passed)
        return;
    if (!(ItemAttributes(named.param) & FILE_ATTRIBUTE_DIRECTORY)) {
        // A My Computer item that is no folder (the control panel) opens nothing.
        if (pane->path[0] != '\0')
            OpenWithAssociation(pane->path, named.name, passed);
        return;
    }
    switch (ComposePath(passed, pane->path, PATH_SIZE)) {
    case COMPOSE_TOO_LONG: WindowWalkSink().PathTooLong(pane->path, named.name); return;
    case COMPOSE_NOT_DRIVE: MessageBeep(MB_ICONWARNING); return;
    case COMPOSE_DONE: break;
    }
    BringPanesUpToDate(pane == &gCore->panes[PANE_RIGHT] ? CHANGED_RIGHT : CHANGED_LEFT,
                       SHOWS_PATH | SHOWS_COUNTS);
    // Both boxes show their panes' folders again, the other's too.
    SetWindowTextA(OtherPane(pane)->pathBox, OtherPane(pane)->path);
}

// A rename changes its pane's folder: refused, like any such command, where
// the running job reads or writes.
static const CommandRow kRename = {CMD_KEY_RENAME, SIDE_ACTIVE, NEEDS_FOLDER | NEEDS_CLEAR_OF_JOB,
                                   CHANGES_NONE, nullptr};

static int RenameRefused(Pane* pane, const SelectedItem* item) {
    return RefuseCommand(kRename, pane, item, item ? 1 : 0);
}

static int MayRename(Pane* pane, const SelectedItem* item) {
    return !RenameRefused(pane, item);
}

static LRESULT OnBeginRename(Pane* pane, const NMLVDISPINFOW* info) {
    SelectedItem item;
    RealName real;
    if (pane->path[0] && !ReadListItem(pane->list, info->item.iItem, &item, &real, WindowWalkSink()))
        return TRUE;
    if (RenameRefused(pane, pane->path[0] ? &item : nullptr))
        return TRUE;
    return BeginRename(pane, info, WindowWalkSink());
}

LRESULT OnListNotify(Pane* pane, const NMHDR* header) {
    // A repaint of the other list must not move the commands over to it.
    if (IsUserActionNotice(header))
        MakePaneActive(pane);
    switch (header->code) {
    case NM_DBLCLK: OnDoubleClick(pane, header->hwndFrom); return 0;
    case LVN_COLUMNCLICK: {
        gCore->sortColumn = ((const NMLISTVIEW*)header)->iSubItem;
        SortByColumn(pane->list, gCore->sortColumn);
        return 0;
    }
    case LVN_BEGINLABELEDITW: return OnBeginRename(pane, (const NMLVDISPINFOW*)header);
    case LVN_ENDLABELEDITW: {
        // The edit box goes after this notification and may take the focus
        // with it. Posted after any box the rename showed has closed.
        LRESULT result = EndRename(pane, WindowWalkSink(), MayRename);
        PostMessageA(gMainWindow, MSG_LIST_KEYBOARD, 0, (LPARAM)pane->list);
        return result;
    }
    case LVN_BEGINDRAG: DragFromList(gMainWindow, pane); return 0;
    }
    return 0;
}
