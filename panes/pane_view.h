// A list view that shows its pane's model: it asks for its rows' texts and
// icons, and keeps only the selection and the focus.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_set>

#include "core/pane_model.h"

// The list's model, made and tied to the list on first use. The list must
// have been made with LVS_OWNERDATA; its parent is made to answer its
// questions for texts and for type-ahead, and to take them as wide text.
PaneModel& ShowModelIn(HWND list);

// What a user chose in a pane, kept across a new listing of its folder.
struct PaneChoice {
    int kept = 0; // 0: the listing is of another folder, nothing is carried over
    std::unordered_set<std::string> selected;
    std::string focused;
    std::string top;
    int topRow = 0;
};
// Reads the list's selection, focus and first shown row, as entries.
void ReadPaneChoice(HWND list, const PaneModel& model, PaneChoice* choice);
// Starts a new listing of folder ("" for My Computer) in the list's model.
// Where it is the folder the list shows, choice keeps what the user chose.
PaneModel& BeginListing(HWND list, const char* folder, PaneChoice* choice);
// Shows the model's rows; the entries still there get back what choice kept.
void ShowRows(HWND list, const PaneModel& model, const PaneChoice& choice);

// The model's rows in the column's order (direction 1 ascending), stably.
void SortModelRows(PaneModel& model, int column, int direction);
// A new listing's rows in the column's order, those alike in it by name, so
// that each listing of a folder orders them alike.
void SortNewListing(PaneModel& model, int column, int direction);
// Sets the states of mask on one row, or on every row (-1).
void SetRowState(HWND list, int row, UINT mask, UINT state);
// Draws one entry's row again, after its entry changed.
void RedrawEntry(HWND list, int entry);
