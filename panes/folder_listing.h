// A pane's list: made, filled from its folder (or My Computer), and sorted.
#pragma once
#include <windows.h>

void InitPane(HWND list, char* path);
int ListFolder(HWND list, char* path);
// Toggles the column's direction and sorts the list by it.
int SortByColumn(HWND list, int column);
// Sorts the last list sorted by the column in its present direction.
int SortList(int column);
