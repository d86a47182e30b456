#include "app/keys.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/list_events.h"
#include "panes/navigation.h"
#include "panes/pane_view.h"
#include "res/resource.h"

static HACCEL gKeys;

void LoadKeys() {
    if (!gKeys)
        gKeys = LoadAcceleratorsA(gInstance, MAKEINTRESOURCEA(IDR_KEYS));
}

int TranslateKeys(MSG* msg) {
    // The table has no Alt keys: Alt and the menus' own keys pass untouched.
    if (msg->message != WM_KEYDOWN)
        return 0;
    if (!gMainWindow || !gKeys || (msg->hwnd != gMainWindow && !IsChild(gMainWindow, msg->hwnd)))
        return 0;
    if (Pane* pane = PaneOfPathBox(msg->hwnd))
        return OnPathBoxKey(pane, msg->wParam);
    // A rename or a path box keeps its keys for its own text.
    if (gEditing)
        return 0;
    // A key pressed in a list acts on that list's pane, as its own key
    // notification would have made it, even where a listing moved the
    // active pane since.
    if (Pane* pane = PaneOfList(msg->hwnd))
        MakePaneActive(pane);
    return TranslateAcceleratorA(gMainWindow, gKeys, msg) != 0;
}

static int FocusedItem(HWND list) {
    int item = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    return item >= 0 ? item : (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

static void SelectAll(HWND list) {
    // One repaint, not one per row.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SetRowState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

LRESULT OnKeyCommand(HWND window, WORD id) {
    Pane* active = ActivePane();
    if (id == CMD_KEY_OTHER_PANE) {
        // Before either pane was used, the keyboard starts in the left one.
        SetFocus(active == &gPanes[PANE_LEFT] ? gPanes[PANE_RIGHT].list : gPanes[PANE_LEFT].list);
        return 0;
    }
    if (!active)
        return 0;
    if (WORD command = SideCommandOfKey(id, active))
        return OnCommand(window, command, 0);
    switch (id) {
    case CMD_KEY_OPEN: {
        int item = FocusedItem(active->list);
        if (item >= 0)
            OpenListItem(active, item);
        return 0;
    }
    case CMD_KEY_RENAME: {
        int item = FocusedItem(active->list);
        if (item >= 0) {
            SetFocus(active->list);
            // The wide message, so the edit shows a real name as the row does.
            SendMessageW(active->list, LVM_EDITLABELW, (WPARAM)item, 0);
        }
        return 0;
    }
    case CMD_KEY_SELECT_ALL: SelectAll(active->list); return 0;
    }
    return 0;
}
