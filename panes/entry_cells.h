// A listed item's entry in its pane's model, and the texts its row shows.
#pragma once
#include <windows.h>

#include "core/pane_model.h"

// Adds an item found by a search or given by the shell. Without find data
// (haveData 0) its size and date cells stay empty; sizeOfSystem 0 leaves the
// size of a system file unshown, as a folder's.
int AddListedEntry(PaneModel& model, const WIN32_FIND_DATAA& found, int haveData, const WCHAR* realName,
                   int sizeOfSystem, int icon, const char* type);

enum { COLUMN_NAME = 0, COLUMN_SIZE = 1, COLUMN_TYPE = 2, COLUMN_DATE = 3 };
// The text an entry's row shows in a column; "" for an empty cell.
void EntryCellText(const PaneModel& model, const PaneEntry& entry, int column, char* text, size_t cap);
