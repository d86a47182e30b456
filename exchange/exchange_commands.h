// Clipboard commands and the end of a drop.
#pragma once
#include <windows.h>

void CopySelectionToClipboard();
void PasteIntoActivePane();
LRESULT OnDropDone(HWND window, WPARAM count);
