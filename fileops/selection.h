// The selected items of a pane, and the walk that hands them to a visitor.
#pragma once
#include <windows.h>

#include "core/filer_core.h"
#include "core/pane_model.h"

enum { NAMES_BUFFER_SIZE = 1000 };

// Each selected name followed by CR LF, in list order; 0 when nothing is
// selected. A selection whose names don't fit ends with a line saying how many
// more there are.
int CollectSelectedNames(HWND list, char* names);

struct SelectedItem {
    char name[PATH_SIZE]; // the whole column 0 text
    LPARAM param;
    RealName* real; // the item's own copy; null when name reaches the file
};
inline const WCHAR* RealNameOf(const SelectedItem& item) {
    return item.real ? item.real->name : nullptr;
}

// The selection as it was when an operation was asked for, so that a relisting
// or a click afterwards cannot change what the operation acts on.
struct Selection {
    int count;
    SelectedItem* items;
};

class WalkSink;
// Reads one row's entry: its listed name and parameter, and, unless real is
// null, for a name the code page can't spell its real name into *real
// (item->real then points there). 0 when there is no such row, or, told to
// the sink, when its real name can't be reached.
int ReadListItem(HWND list, int index, SelectedItem* item, RealName* real, WalkSink& sink);

// Takes the list's selected items in list order; 0 when none is selected.
// An item whose real name can't be reached is left out, and told.
int TakeSelection(HWND list, Selection* taken, WalkSink& sink);
void FreeSelection(Selection* taken);

// The selection one command takes, freed when the command's scope ends; one
// handed over to a job is left empty and frees nothing.
class ScopedSelection {
  public:
    ScopedSelection(HWND list, WalkSink& sink) : taken{0, nullptr} { TakeSelection(list, &taken, sink); }
    ~ScopedSelection() { FreeSelection(&taken); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    Selection taken;
};

// The name other programs get as ANSI text (command lines, ANSI file lists):
// the item's own, or, for a name the code page can't spell, its short name,
// which reaches the same file. Null when it has none: such an item is left
// out, and told, rather than passed under a name that reaches another file.
const char* NameForOthers(const SelectedItem& item, WalkSink& sink);

// Null means a walk nobody can cancel (the UI thread's own).
typedef const volatile LONG* CancelSource;
inline int IsCancelled(CancelSource cancel) {
    return cancel && *cancel != 0;
}

// How a walk runs: who may stop it between entries, and who hears what it does.
struct WalkRun {
    CancelSource cancel;
    WalkSink& sink;
    // Owns the shell's questions; null on the window's own thread.
    HWND owner = nullptr;
};

typedef int (*SelectionVisitor)(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                                const WalkRun& run);

// Visits the taken items in order, stopping between items once the run is
// cancelled. 0 when nothing was selected, 1 otherwise.
int WalkSelection(SelectionVisitor visitor, const Selection& items, const char* firstFolder,
                  const char* secondFolder, const WalkRun& run);
