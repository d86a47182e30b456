// The one program-wide object: the panes, sort state, scratch path,
// association tables, the status bar and the cancel flag of the file operations.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "assoc/assoc_file.h"
#include "base/path_size.h"

struct FilePath;
class WalkSink;

// A pane: its list view, its path box and its folder's path.
struct Pane {
    HWND list;
    HWND pathBox;
    char path[PATH_SIZE];
};

struct FilerCore {
    // The window's state: the two panes, left and right, the active one's
    // index (-1 before the user acts on either), and whether a path box or a
    // rename has the keys (they then type into it).
    Pane panes[2];
    int activePane;
    int editing;
    int givingFocusBack;

    HWND sortList;
    HIMAGELIST systemImageList;
    int sortDirection[4];
    char pathScratch[PATH_SIZE];
    char toolTable[TOOL_SLOT_COUNT][TOOL_SLOT_SIZE];
    ExtensionRule extensionRules[EXTENSION_RULE_COUNT];
    int toolCount;
    int ruleCount;
    HWND statusBar;
    volatile LONG cancelFlag;
    int sortColumn;

    FilerCore();
    ~FilerCore();

    int LoadAssociations(const char* fileName);
};

extern FilerCore* gCore;
// Made when the main window is made, reading "Brenn.dat" then; null before.
FilerCore& MakeFilerCore();
