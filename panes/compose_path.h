// Where a pane goes when an item name is entered from its folder path.
#pragma once
#include <stddef.h>

enum ComposeResult {
    COMPOSE_DONE,     // path changed (or left as it is for a single dot)
    COMPOSE_TOO_LONG, // the new path would not fit; path unchanged
    COMPOSE_NOT_DRIVE // a My Computer item that names no drive; path unchanged
};

// ".." goes to the parent (the empty path, My Computer, above a drive root);
// from the empty path a drive's display name "... (X:)" gives "X:\";
// any other name is appended with a final "\".
ComposeResult ComposePath(const char* name, char* path, size_t cap);

// The drive letter of a display name ending in "(X:)" with X in A-Z, or 0.
char DriveLetterOfDisplayName(const char* name);
