// The two panes: list view, path box and folder path buffer of each.
#pragma once
#include <windows.h>

#include "assoc/filer_core.h"

struct Pane {
    HWND list;
    HWND pathBox;
    char path[PATH_SIZE];
};

extern Pane gLeftPane;
extern Pane gRightPane;

// The pane whose list view sent the last notification; unset until the first.
struct ActivePane {
    HWND list;
    char* path;
};
extern ActivePane gActivePane;

// Item parameter: attributes in the low half, listing index in the high half.
// ITEM_HAS_REAL_NAME, a bit no file attribute uses, marks an item whose name
// the code page can't spell (its real name is kept beside the listing).
enum { ITEM_HAS_REAL_NAME = 0x8 };
inline LPARAM MakeItemParam(DWORD attributes, int index) {
    return (LPARAM)(DWORD)((attributes & 0xFFFF) | ((DWORD)index << 16));
}
inline DWORD ItemAttributes(LPARAM param) { return (DWORD)param & 0xFFFF & ~(DWORD)ITEM_HAS_REAL_NAME; }
