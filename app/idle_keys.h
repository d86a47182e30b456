// What one pass of the idle keyboard poll does, from the thread's key states.
#pragma once

enum IdleAction { IDLE_NOTHING, IDLE_CANCEL, IDLE_DELETE };

// keys: the 256-byte key-state array. Esc wins over Delete; Delete is ignored
// while a path box or an in-place rename has the keyboard.
IdleAction DecideIdleAction(const unsigned char* keys, int editing);
// 1 while the Delete key reads as down in the key-state array.
int DeleteKeyDown(const unsigned char* keys);
