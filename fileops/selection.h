// The selected items of a pane, and the walk that hands them to a visitor.
#pragma once
#include <windows.h>

#include "assoc/filer_core.h"

enum { NAMES_BUFFER_SIZE = 1000 };

// Each selected name followed by CR LF, in list order; 0 when nothing is
// selected. A selection whose names don't fit ends with a line saying how many
// more there are.
int CollectSelectedNames(HWND list, char* names);

struct SelectedItem {
    char name[PATH_SIZE];  // the whole column 0 text
    LPARAM param;
};

// The selection as it was when an operation was asked for, so that a relisting
// or a click afterwards cannot change what the operation acts on.
struct Selection {
    int count;
    SelectedItem* items;
};

// Takes the list's selected items in list order; 0 when none is selected.
int TakeSelection(HWND list, Selection* taken);
void FreeSelection(Selection* taken);

// Null means a walk nobody can cancel (the UI thread's own).
typedef const volatile LONG* CancelSource;
inline int IsCancelled(CancelSource cancel) { return cancel && *cancel != 0; }

typedef int (*SelectionVisitor)(const char* firstFolder, const char* secondFolder, const char* name, int extra,
                                LPARAM param, CancelSource cancel);

// Visits the taken items in order, stopping between items once cancel is set.
// 0 when nothing was selected, 1 otherwise.
int WalkSelection(SelectionVisitor visitor, const Selection& items, const char* firstFolder,
                  const char* secondFolder, int extra, CancelSource cancel);
