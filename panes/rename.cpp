#include "panes/rename.h"

#include <commctrl.h>

#include "base/prompts.h"
#include "base/spellable.h"
#include "base/text_buffer.h"
#include "fileops/file_path.h"
#include "fileops/link_rule.h"
#include "fileops/selection.h"
#include "fileops/tree_copy.h"
#include "fileops/walk_sink.h"
#include "panes/folder_follow.h"
#include "panes/item_name.h"
#include "panes/pane_view.h"

// The one rename that can be open: its edit control, the item's old path,
// the edit's text when it opened, and whether Esc ended it.
static HWND gRenameEdit;
static FilePath gRenameSource;
static WCHAR gRenameShown[PATH_SIZE];
static int gRenameEscaped;
// The entry being renamed, in the listing it belongs to (a sort while the
// edit is open moves it to another row), the list it ended in, and the path
// whose name on the disk it shows.
static HWND gRenamedList;
static int gRenamedEntry;
static unsigned gRenamedListing;
static FilePath gRenamedPath;

// The list's end notice can't tell Esc from Enter: where the code page
// spells the typed name as it spells the old one, it says "cancelled" for
// both. The edit's own keys do.
static LRESULT CALLBACK RenameEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR) {
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE && edit == gRenameEdit)
        gRenameEscaped = 1;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, RenameEditProc, id);
    return DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT BeginRename(Pane* pane, const NMLVDISPINFOW* info, WalkSink& sink) {
    // The old name is the real one where the code page can't spell it.
    SelectedItem item;
    RealName real;
    if (!ReadListItem(pane->list, info->item.iItem, &item, &real, sink) ||
        !ItemFilePath(&gRenameSource, pane->path, item.name, RealNameOf(item), PATH_SIZE - 1))
        return TRUE;
    const PaneModel* model = ModelOfList(pane->list);
    gRenamedEntry = model->EntryOfRow(info->item.iItem);
    gRenamedListing = model->serial();
    gRenameEdit = (HWND)SendMessageA(pane->list, LVM_GETEDITCONTROL, 0, 0);
    gRenameShown[0] = 0;
    gRenameEscaped = 0;
    if (gRenameEdit) {
        GetWindowTextW(gRenameEdit, gRenameShown, PATH_SIZE);
        SetWindowSubclass(gRenameEdit, RenameEditProc, 0, 0);
    }
    gCore->editing = 1;
    return 0;
}

int RenameOpenIn(HWND list) {
    return gRenamedList == list || SendMessageA(list, LVM_GETEDITCONTROL, 0, 0) != 0;
}

void CancelRename(HWND list) {
    if (gRenamedList == list)
        gRenamedList = nullptr;
    HWND edit = (HWND)SendMessageA(list, LVM_GETEDITCONTROL, 0, 0);
    if (!edit)
        return;
    gRenameEdit = nullptr; // whatever the end notification says, nothing is renamed
    SendMessageA(list, LVM_CANCELEDITLABEL, 0, 0);
    if (IsWindow(edit))
        SendMessageA(list, LVM_EDITLABELA, (WPARAM)-1, 0);
    gCore->editing = 0;
}

// Moves source to target. A change of case alone that the platform answers
// with success and leaves undone is made through a temporary name, but only
// where the typed name leads to this very entry: beside a case twin (which
// only the Linux side can make) it names the twin, and nothing is moved.
static int RenameOnDisk(const FilePath& source, const FilePath& target, const WCHAR* typed) {
    if (!MoveFileOfPath(source, target, 0))
        return 0;
    WCHAR now[MAX_PATH];
    if (!NameOnDisk(target, now, MAX_PATH) || lstrcmpW(now, typed) == 0 || lstrcmpiW(now, typed) != 0)
        return 1;
    FolderIdentity before, after;
    if (!ReadFolderIdentity(source, &before) || !ReadFolderIdentity(target, &after) ||
        !SameFolder(before, after))
        return 0;
    char temporaryName[32];
    FormatText(temporaryName, sizeof temporaryName, "~ren%lx.tmp", GetTickCount());
    FilePath temporary;
    if (!SiblingFilePath(&temporary, source, temporaryName, nullptr) || !MoveFileOfPath(source, temporary, 0))
        return 1;
    if (!MoveFileOfPath(temporary, target, 0) && !MoveFileOfPath(temporary, source, 0)) {
        char text[PATH_SIZE + 64];
        FormatText(text, sizeof text, "%s\r\nこの名前で残りました", temporary.text);
        ShowMessage(nullptr, text, "Rename Error", MB_OK);
    }
    return 1;
}

// The entry takes the name the disk has for path: the rename's result, or the
// old name where none happened, whatever the list made of the typed text.
// A name the code page can't spell is only ever the old one, kept as it was.
static void ShowNameOnDisk(HWND list, PaneModel& model, int entry, const FilePath& path) {
    WCHAR name[MAX_PATH];
    char narrow[PATH_SIZE];
    if (!NameOnDisk(path, name, MAX_PATH) || !IsSpellable(name))
        return;
    NarrowName(name, narrow, sizeof narrow);
    model.Rename(entry, narrow);
    RedrawEntry(list, entry);
}

void ShowRenamedRow() {
    HWND list = gRenamedList;
    gRenamedList = nullptr;
    PaneModel* model = list ? ModelOfList(list) : nullptr;
    if (model && model->serial() == gRenamedListing && gRenamedEntry >= 0 && gRenamedEntry < model->Count())
        ShowNameOnDisk(list, *model, gRenamedEntry, gRenamedPath);
}

LRESULT EndRename(Pane* pane, WalkSink& sink, int (*mayRename)(Pane* pane, const SelectedItem* item)) {
    gCore->editing = 0;
    HWND edit = gRenameEdit;
    gRenameEdit = nullptr;
    if (!edit)
        return 0;
    // However it ends, the row is shown again with the name on the disk once
    // the list is done with it.
    PaneModel* model = ModelOfList(pane->list);
    if (!model || model->serial() != gRenamedListing)
        model = nullptr;
    gRenamedList = model ? pane->list : nullptr;
    gRenamedPath = gRenameSource;
    if (gRenameEscaped)
        return 0;
    // The pane went to My Computer meanwhile: there is no folder to rename in.
    if (pane->path[0] == '\0')
        return 0;
    // The typed name is compared with the real name exactly, and with what
    // the edit first showed (the code page's spelling when opened by the
    // ANSI message): either kept renames nothing.
    WCHAR typed[PATH_SIZE], old[PATH_SIZE];
    GetWindowTextW(edit, typed, PATH_SIZE);
    if (!WideOfPath(gRenameSource, old, PATH_SIZE))
        return 0;
    if (lstrcmpW(typed, NameOfWidePath(old)) == 0 || lstrcmpW(typed, gRenameShown) == 0)
        return 0;
    // The platform drops a name's final dots and blanks: the item gets the
    // name without them.
    for (int end = lstrlenW(typed); end > 0 && (typed[end - 1] == L'.' || typed[end - 1] == L' '); end--)
        typed[end - 1] = 0;
    // A typed name the code page can't spell would reach the file as another name.
    char name[PATH_SIZE];
    NarrowName(typed, name, sizeof name);
    if (!IsSpellable(typed) || !IsValidItemName(name)) {
        MessageBeep(MB_ICONWARNING);
        return 0;
    }
    // A job may have started while the name was typed.
    SelectedItem renamed;
    RealName real;
    int row = model ? model->RowOfEntry(gRenamedEntry) : -1;
    if (!mayRename(pane,
                   row >= 0 && ReadListItem(pane->list, row, &renamed, &real, sink) ? &renamed : nullptr))
        return 0;
    FilePath target;
    if (!ItemFilePath(&target, pane->path, name, nullptr, PATH_SIZE - 1)) {
        sink.PathTooLong(pane->path, name);
        return 0;
    }
    if (RenameOnDisk(gRenameSource, target, typed)) {
        gRenamedPath = target;
        // A read begun before the rename would show the old name again.
        ReadPaneAgain(pane == &gCore->panes[PANE_RIGHT] ? PANE_RIGHT : PANE_LEFT);
    }
    return 0;
}
