#include "core/pane.h"

void GiveFocusBack(HWND control) {
    gCore->givingFocusBack++;
    SetFocus(control);
    gCore->givingFocusBack--;
}

int GivingFocusBack() {
    return gCore->givingFocusBack > 0;
}

Pane* ActivePane() {
    return gCore->activePane < 0 ? nullptr : &gCore->panes[gCore->activePane];
}

void MakePaneActive(const Pane* pane) {
    gCore->activePane = pane == &gCore->panes[PANE_RIGHT] ? PANE_RIGHT : PANE_LEFT;
}

void ForgetActivePane() {
    gCore->activePane = -1;
}

Pane* PaneOfList(HWND list) {
    for (Pane& pane : gCore->panes)
        if (list && list == pane.list)
            return &pane;
    return nullptr;
}

Pane* PaneOfPathBox(HWND box) {
    for (Pane& pane : gCore->panes)
        if (box && box == pane.pathBox)
            return &pane;
    return nullptr;
}

Pane* OtherPane(const Pane* pane) {
    return pane == &gCore->panes[PANE_LEFT] ? &gCore->panes[PANE_RIGHT] : &gCore->panes[PANE_LEFT];
}
