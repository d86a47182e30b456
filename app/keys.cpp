#include "app/keys.h"

#include "app/app_state.h"
#include "panes/navigation.h"
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
    if (gCore->editing)
        return 0;
    // A key pressed in a list acts on that list's pane, as its own key
    // notification would have made it, even where a listing moved the
    // active pane since.
    if (Pane* pane = PaneOfList(msg->hwnd))
        MakePaneActive(pane);
    return TranslateAcceleratorA(gMainWindow, gKeys, msg) != 0;
}
