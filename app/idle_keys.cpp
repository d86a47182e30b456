#include "app/idle_keys.h"

static const int kEscape = 0x1B;
static const int kDelete = 0x2E;

// Only the high bits mean "down"; bit 0x01 is the toggle state.
static int IsDown(unsigned char state) {
    return (state & 0xF0) != 0;
}

IdleAction DecideIdleAction(const unsigned char* keys, int editing) {
    if (IsDown(keys[kEscape]))
        return IDLE_CANCEL;
    if (IsDown(keys[kDelete]) && !editing)
        return IDLE_DELETE;
    return IDLE_NOTHING;
}

int DeleteKeyDown(const unsigned char* keys) {
    return IsDown(keys[kDelete]);
}
