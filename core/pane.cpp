#include "core/pane.h"

Pane gPanes[2];
int gEditing;

static int gGivingFocusBack;

void GiveFocusBack(HWND control) {
    gGivingFocusBack++;
    SetFocus(control);
    gGivingFocusBack--;
}

int GivingFocusBack() {
    return gGivingFocusBack > 0;
}

// The index of the active pane, or -1: the one place that says which it is.
static int gActive = -1;

Pane* ActivePane() {
    return gActive < 0 ? nullptr : &gPanes[gActive];
}

void MakePaneActive(const Pane* pane) {
    gActive = pane == &gPanes[PANE_RIGHT] ? PANE_RIGHT : PANE_LEFT;
}

void ForgetActivePane() {
    gActive = -1;
}

Pane* PaneOfList(HWND list) {
    for (Pane& pane : gPanes)
        if (list && list == pane.list)
            return &pane;
    return nullptr;
}

Pane* PaneOfPathBox(HWND box) {
    for (Pane& pane : gPanes)
        if (box && box == pane.pathBox)
            return &pane;
    return nullptr;
}

Pane* OtherPane(const Pane* pane) {
    return pane == &gPanes[PANE_LEFT] ? &gPanes[PANE_RIGHT] : &gPanes[PANE_LEFT];
}
