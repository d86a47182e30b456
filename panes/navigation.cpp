#include "panes/navigation.h"

#include <string.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/prompts.h"
#include "assoc/open_with.h"
#include "base/spellable.h"
#include "base/text_buffer.h"
#include "exchange/drop_target.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "panes/compose_path.h"
#include "panes/item_name.h"

// The one rename that can be open: its edit control and the item's old path.
static HWND gRenameEdit;
static FilePath gRenameSource;

Pane* PaneOfList(HWND list) {
    if (list && list == gLeftPane.list)
        return &gLeftPane;
    if (list && list == gRightPane.list)
        return &gRightPane;
    return nullptr;
}

void MakePaneActive(const Pane* pane) {
    gActivePane.list = pane->list;
    gActivePane.path = (char*)pane->path;
}

int IsUserActionNotice(const NMHDR* header) {
    switch (header->code) {
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
    case NM_RETURN:
    case NM_SETFOCUS:
    case LVN_KEYDOWN:
    case LVN_COLUMNCLICK:
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW:
    case LVN_ITEMACTIVATE:
    case LVN_MARQUEEBEGIN: return 1;
    // A selection or focus change, not a new text or parameter of a row.
    case LVN_ITEMCHANGED: return (((const NMLISTVIEW*)header)->uChanged & LVIF_STATE) != 0;
    }
    return 0;
}

static void ShowBothPaths() {
    SetWindowTextA(gLeftPane.pathBox, gLeftPane.path);
    SetWindowTextA(gRightPane.pathBox, gRightPane.path);
}

static LPARAM ItemParamOf(HWND list, int item) {
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    return SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&lv) ? lv.lParam : 0;
}

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
    ShowBothPaths();
    UpdateObjectCounts();
}

static LRESULT OnBeginRename(Pane* pane, const NMLVDISPINFOA* info) {
    // A My Computer item is no file to rename.
    if (pane->path[0] == '\0') {
        MessageBeep(MB_ICONWARNING);
        return TRUE;
    }
    // The old name is the real one where the code page can't spell it.
    SelectedItem item;
    RealName real;
    if (!ReadListItem(pane->list, info->item.iItem, &item, &real) ||
        RefuseChangeBesideJob(pane->path, &item, 1) ||
        !ItemFilePath(&gRenameSource, pane->path, item.name, RealNameOf(item), PATH_SIZE - 1))
        return TRUE;
    gRenameEdit = (HWND)SendMessageA(pane->list, LVM_GETEDITCONTROL, 0, 0);
    gEditing = 1;
    return 0;
}

void CancelRename(HWND list) {
    HWND edit = (HWND)SendMessageA(list, LVM_GETEDITCONTROL, 0, 0);
    if (!edit)
        return;
    gRenameEdit = nullptr; // whatever the end notification says, nothing is renamed
    SendMessageA(list, LVM_CANCELEDITLABEL, 0, 0);
    if (IsWindow(edit))
        SendMessageA(list, LVM_EDITLABELA, (WPARAM)-1, 0);
    gEditing = 0;
}

static LRESULT OnEndRename(Pane* pane, const NMLVDISPINFOA* info) {
    gEditing = 0;
    // The edit box goes after this notification and may take the focus with it.
    PostMessageA(gMainWindow, MSG_LIST_KEYBOARD, 0, (LPARAM)pane->list);
    HWND edit = gRenameEdit;
    gRenameEdit = nullptr;
    // No text is the list's way of saying the edit was cancelled.
    if (!info->item.pszText || !edit)
        return 0;
    // The pane went to My Computer meanwhile: there is no folder to rename in.
    if (pane->path[0] == '\0')
        return 0;
    // The edit holds what the row showed, the real name or the code page's
    // spelling of it: either unchanged renames nothing. A typed name the code
    // page can't spell would reach the file as another name.
    WCHAR typed[PATH_SIZE];
    GetWindowTextW(edit, typed, PATH_SIZE);
    char name[PATH_SIZE], listed[PATH_SIZE] = "";
    GetWindowTextA(edit, name, sizeof name);
    LVITEMA row = {};
    row.pszText = listed;
    row.cchTextMax = sizeof listed;
    SendMessageA(pane->list, LVM_GETITEMTEXTA, info->item.iItem, (LPARAM)&row);
    if (IsWidePath(gRenameSource) &&
        (lstrcmpW(typed, NameOfWidePath(gRenameSource.wide)) == 0 || strcmp(name, listed) == 0))
        return 0;
    if (!IsSpellable(typed) || !IsValidItemName(name)) {
        MessageBeep(MB_ICONWARNING);
        return 0;
    }
    // A job may have started while the name was typed.
    SelectedItem renamed = {};
    CopyText(renamed.name, sizeof renamed.name, listed);
    if (RefuseChangeBesideJob(pane->path, &renamed, 1))
        return 0;
    FilePath target;
    if (!ItemFilePath(&target, pane->path, name, nullptr, PATH_SIZE - 1)) {
        ReportPathTooLong(pane->path, name);
        return 0;
    }
    if (MoveFileOfPath(gRenameSource, target, 0)) {
        LVITEMA lv = {};
        lv.iSubItem = 0;
        lv.pszText = name;
        SendMessageA(pane->list, LVM_SETITEMTEXTA, info->item.iItem, (LPARAM)&lv);
        // The new name was typed in the code page: it reaches the file itself.
        LVITEMA marked = {};
        marked.mask = LVIF_PARAM;
        marked.iItem = info->item.iItem;
        marked.lParam =
            (LPARAM)((DWORD)ItemParamOf(pane->list, info->item.iItem) & ~(DWORD)ITEM_HAS_REAL_NAME);
        SendMessageA(pane->list, LVM_SETITEMA, 0, (LPARAM)&marked);
    }
    return 0;
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
    case LVN_BEGINLABELEDITA: return OnBeginRename(pane, (const NMLVDISPINFOA*)header);
    case LVN_ENDLABELEDITA: return OnEndRename(pane, (const NMLVDISPINFOA*)header);
    case LVN_BEGINDRAG: OnBeginDrag(gMainWindow); return 0;
    }
    return 0;
}

int OnPathBoxKey(Pane* pane, WPARAM key) {
    if (key != VK_RETURN && key != VK_ESCAPE)
        return 0;
    if (key == VK_ESCAPE)
        SetWindowTextA(pane->pathBox, pane->path);
    // Leaving the box is what takes its text, as a click elsewhere does.
    SetFocus(pane->list);
    return 1;
}

LRESULT OnPathBoxNotify(Pane* pane, int code) {
    switch (code) {
    case EN_SETFOCUS: gEditing = 1; return 1;
    case EN_KILLFOCUS:
        GetWindowTextA(pane->pathBox, pane->path, PATH_SIZE);
        gCore->ListFolder(pane->list, pane->path);
        SetWindowTextA(pane->pathBox, pane->path);
        gEditing = 0;
        return 1;
    }
    return 0;
}

void GoToParent(Pane* pane) {
    ComposePath("..", pane->path, PATH_SIZE);
    gCore->ListFolder(pane->list, pane->path);
    SetWindowTextA(pane->pathBox, pane->path);
    UpdateObjectCounts();
}

void ShowMyComputer(Pane* pane) {
    pane->path[0] = '\0';
    gCore->ListFolder(pane->list, pane->path);
}
