// The My Computer view that a pane with an empty folder path shows.
#pragma once
#include <windows.h>
#include <shlobj.h>

int ListMyComputer(HWND list);
int ListShellFolder(HWND list, IShellFolder* folder, LPCITEMIDLIST parent);
// A new list from the shell allocator: first without its end, then second. Null when out of memory.
LPITEMIDLIST JoinIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second);
