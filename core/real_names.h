// What a listing keeps of the items whose names the code page can't spell:
// the list view shows the ANSI text, which may name another file or none, so
// the real name and the short name are kept to find the item again.
#pragma once
#include <windows.h>

#include "core/pane.h"

struct RealName {
    WCHAR name[MAX_PATH];
    char shortName[14]; // empty when the file has none
};

// A listing starts a new table for its list.
void ForgetRealNames(HWND list);
void KeepRealName(HWND list, int index, const char* text, const WCHAR* name, const char* shortName);
// The real name of an item by its parameter and text; null when there is no
// single one (then the item can't be told apart and must not be acted on).
const RealName* FindRealName(HWND list, LPARAM param, const char* text);
