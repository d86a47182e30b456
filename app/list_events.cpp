#include "app/list_events.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/open_with.h"
#include "app/window_sink.h"
#include "core/filer_core.h"
#include "exchange/drop_target.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "panes/compose_path.h"
#include "panes/navigation.h"

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
    if (!ReadListItem(pane->list, item, &named, &real))
        return;
    // A name the code page can't spell reaches the item only by its short name.
    const char* passed = NameForOthers(named);
    if (!passed)
        return;
    if (!(ItemAttributes(named.param) & FILE_ATTRIBUTE_DIRECTORY)) {
        // A My Computer item that is no folder (the control panel) opens nothing.
        if (pane->path[0] != '\0')
            OpenWithAssociation(pane->path, named.name, passed);
        return;
    }
    switch (ComposePath(passed, pane->path, PATH_SIZE)) {
    case COMPOSE_TOO_LONG: ReportPathTooLong(pane->path, named.name); return;
    case COMPOSE_NOT_DRIVE: MessageBeep(MB_ICONWARNING); return;
    case COMPOSE_DONE: break;
    }
    gCore->ListFolder(pane->list, pane->path);
    ShowPanePaths();
    UpdateObjectCounts();
}

LRESULT OnListNotify(Pane* pane, const NMHDR* header) {
    // A repaint of the other list must not move the commands over to it.
    if (IsUserActionNotice(header))
        MakePaneActive(pane);
    switch (header->code) {
    case NM_DBLCLK: OnDoubleClick(pane, header->hwndFrom); return 0;
    case LVN_COLUMNCLICK: {
        gCore->sortColumn = ((const NMLISTVIEW*)header)->iSubItem;
        gCore->SortByColumn(pane->list, gCore->sortColumn);
        return 0;
    }
    case LVN_BEGINLABELEDITW: return BeginRename(pane, (const NMLVDISPINFOW*)header);
    case LVN_ENDLABELEDITW: {
        // The edit box goes after this notification and may take the focus
        // with it. Posted after any box the rename showed has closed.
        LRESULT result = EndRename(pane);
        PostMessageA(gMainWindow, MSG_LIST_KEYBOARD, 0, (LPARAM)pane->list);
        return result;
    }
    case LVN_BEGINDRAG: OnBeginDrag(gMainWindow, WindowWalkSink()); return 0;
    }
    return 0;
}
