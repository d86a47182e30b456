// The command table: menu, toolbar, pop-up menu and Delete key commands.
#pragma once
#include <windows.h>

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
// The Tools menu at the pointer, for a right click anywhere in the window.
LRESULT OnContextMenu(HWND window, LPARAM lParam);
struct Pane;
// The command of the pane's side that a key command (CMD_KEY_*) stands for;
// 0 for a key that has none.
WORD SideCommandOfKey(WORD key, const Pane* pane);
// Held down, the Delete key issues the permanent delete at every pass of the
// idle poll: its refusal is said once, until the poll sees the key up.
void DeleteKeyReleased();
