#include "exchange/drag_source.h"
#include "exchange/exchange_commands.h"

// Clipboard and drag and drop arrive with their own module; until then these
// commands do nothing.
void OnBeginDrag(HWND) {}
void CopySelectionToClipboard() {}
void PasteIntoActivePane() {}
LRESULT OnDropDone(HWND, WPARAM) { return 0; }
