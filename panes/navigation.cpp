#include "panes/navigation.h"

#include <commctrl.h>
#include <string.h>

#include "base/prompts.h"
#include "base/spellable.h"
#include "base/text_buffer.h"
#include "fileops/file_path.h"
#include "panes/compose_path.h"
#include "panes/folder_listing.h"

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
    // A range of rows selected at once (a shift-click).
    case LVN_ODSTATECHANGED: return 1;
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

// The box's text as the path to list. It is read as wide text: the ANSI
// text spells a name the code page lacks as another ("café" as "cafe"), which
// may be a twin folder. Such a path is taken by its short form; 0, said, when
// it has none.
static int ReadPathBox(HWND box, char* path) {
    WCHAR typed[PATH_SIZE], shortPath[PATH_SIZE];
    GetWindowTextW(box, typed, PATH_SIZE);
    // Converted aside: a text that needs more bytes than a path holds is
    // said, and the pane keeps its folder, never a cut or unended path.
    char converted[PATH_SIZE];
    char shown[PATH_SIZE], text[PATH_SIZE + 64];
    const WCHAR* reaching = typed;
    DWORD n = 0;
    if (!IsSpellable(typed) && (n = GetShortPathNameW(typed, shortPath, PATH_SIZE)) > 0 && n < PATH_SIZE &&
        IsSpellable(shortPath))
        reaching = shortPath;
    if (IsSpellable(reaching)) {
        if (WideCharToMultiByte(CP_ACP, 0, reaching, -1, converted, PATH_SIZE, nullptr, nullptr) > 0)
            return CopyText(path, PATH_SIZE, converted);
        NarrowName(typed, shown, sizeof shown);
        ShowMessage(nullptr, shown, "Path Length Error", MB_OK);
        return 0;
    }
    NarrowName(typed, shown, sizeof shown);
    if (GetFileAttributesW(typed) == INVALID_FILE_ATTRIBUTES) {
        ShowMessage(nullptr, shown, "CurrentDirectry Error", MB_OK);
        return 0;
    }
    FormatText(text, sizeof text, "%s\r\n短い名前がないため開けません", shown);
    ShowMessage(nullptr, text, "Name Error", MB_OK);
    return 0;
}

LRESULT OnPathBoxNotify(Pane* pane, int code) {
    switch (code) {
    case EN_SETFOCUS: gCore->editing = 1; return 1;
    case EN_KILLFOCUS: {
        gCore->editing = 0;
        // Only the user's move to another control of this window takes the
        // text: a box of another window (the job's, another program's) that
        // takes the keyboard leaves a half-typed path where it is.
        HWND focus = GetFocus();
        if (!focus || GetAncestor(focus, GA_ROOT) != GetAncestor(pane->pathBox, GA_ROOT))
            return 1;
        if (!ReadPathBox(pane->pathBox, pane->path)) {
            SetWindowTextA(pane->pathBox, pane->path);
            return 1;
        }
        ListFolder(pane->list, pane->path);
        SetWindowTextA(pane->pathBox, pane->path);
        return 1;
    }
    }
    return 0;
}
