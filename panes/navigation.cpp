#include "panes/navigation.h"

#include <string.h>

#include "base/list_view.h"
#include "base/prompts.h"
#include "base/spellable.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "panes/compose_path.h"
#include "panes/item_name.h"

// The one rename that can be open: its edit control and the item's old path.
static HWND gRenameEdit;
static FilePath gRenameSource;

int IsUserActionNotice(const NMHDR* header) {
    switch (header->code) {
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
    case NM_RETURN:
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
    case NM_SETFOCUS: return !GivingFocusBack();
    // A selection or focus change, not a new text or parameter of a row.
    case LVN_ITEMCHANGED: return (((const NMLISTVIEW*)header)->uChanged & LVIF_STATE) != 0;
    }
    return 0;
}

void ShowPanePaths() {
    SetWindowTextA(gPanes[PANE_LEFT].pathBox, gPanes[PANE_LEFT].path);
    SetWindowTextA(gPanes[PANE_RIGHT].pathBox, gPanes[PANE_RIGHT].path);
}

LRESULT BeginRename(Pane* pane, const NMLVDISPINFOA* info) {
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

LRESULT EndRename(Pane* pane, const NMLVDISPINFOA* info) {
    gEditing = 0;
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
    char name[PATH_SIZE], listed[PATH_SIZE];
    GetWindowTextA(edit, name, sizeof name);
    // The platform drops a name's final dots and blanks: the row shows the
    // name the item gets. No trail byte is a dot or a blank.
    for (size_t end = strlen(name); end > 0 && (name[end - 1] == '.' || name[end - 1] == ' '); end--)
        name[end - 1] = '\0';
    ReadCellText(pane->list, info->item.iItem, 0, listed, sizeof listed);
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
        SetCellText(pane->list, info->item.iItem, 0, name);
        // The new name was typed in the code page: it reaches the file itself.
        LPARAM param = 0;
        ReadItemParam(pane->list, info->item.iItem, &param);
        SetItemParam(pane->list, info->item.iItem, (LPARAM)((DWORD)param & ~(DWORD)ITEM_HAS_REAL_NAME));
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
}

void ShowMyComputer(Pane* pane) {
    pane->path[0] = '\0';
    gCore->ListFolder(pane->list, pane->path);
}
