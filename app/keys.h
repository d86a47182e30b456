// The keyboard of everyday use: the key table.
#pragma once
#include <windows.h>

// Loads the key table once.
void LoadKeys();
// 1 when the message was a key of the table or a path box's Enter or Esc and
// has been carried out; such a message is not dispatched.
int TranslateKeys(MSG* msg);
