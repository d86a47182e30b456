// The list-view chores of every pane in one place: a cell's text and an
// item's parameter, read and set.
#pragma once
#include <windows.h>

void SetCellText(HWND list, int item, int column, const char* text);
// The cell's text into text (capacity bytes, cut to fit); "" when the item
// has no such cell.
void ReadCellText(HWND list, int item, int column, char* text, int capacity);
// 0 when the list has no such item.
int ReadItemParam(HWND list, int item, LPARAM* param);
void SetItemParam(HWND list, int item, LPARAM param);
