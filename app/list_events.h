// What the user does to a pane's list: the main window hands each list
// notification here.
#pragma once
#include <windows.h>

#include "core/pane.h"

LRESULT OnListNotify(Pane* pane, const NMHDR* header);
// What a double-click on the item does: enter the folder or open the file.
void OpenListItem(Pane* pane, int item);
