// Moving a pane between folders by its path box, and which list notices
// are the user's acts.
#pragma once
#include <windows.h>

#include "core/pane.h"

LRESULT OnPathBoxNotify(Pane* pane, int code);
// Enter in a path box takes the typed path, Esc puts the pane's path back;
// both hand the keyboard to the pane's list. 0 for any other key.
int OnPathBoxKey(Pane* pane, WPARAM key);
// 1 for the notifications a list sends when the user acts on it; paint,
// display and bookkeeping notifications are not among them.
int IsUserActionNotice(const NMHDR* header);
