// Clipboard commands and the end of a drop.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "core/filer_core.h"

enum { CLIPBOARD_SLOTS = 100, DRAG_SLOTS = 50, DROP_SLOTS = 50 };

// The full paths of the list's selected items into slots; the count taken.
// Items past the slots are left out with one message saying how many.
class WalkSink;
int CollectSelectedPaths(HWND owner, HWND list, const char* folder, char (*slots)[PATH_SIZE], int capacity,
                         const char* caption, WalkSink& sink);
int CopyPathsToClipboard(HWND owner, const char (*slots)[PATH_SIZE], int count, int wide);
struct CopyPair;
// What a paste of the clipboard's file list into targetFolder copies, each
// entry's question answered; the count of names the list held, -1 (said)
// when there is no list.
int PlanPaste(HWND owner, const char* targetFolder, std::vector<CopyPair>* plan, WalkSink& sink);
// The overwrite question; its parameter is the wide name of the entry it asks about.
INT_PTR CALLBACK OverwriteDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A movable, zeroed file-list block of the paths; null when out of memory.
HGLOBAL BuildDropFiles(const char* const* paths, int count, int wide);
// A block from another program, checked before any name is read from it.
int IsWellFormedFileList(HGLOBAL handle);
struct FilePath;
// Name `index` of a checked list into a path, with its real form where the
// list names a file the code page can't spell; 0 for an empty name or one
// too long for a path or not a full path (told to the sink).
int ReadDroppedName(HDROP drop, UINT index, FilePath* name, WalkSink& sink);

// The pane's selected items onto the clipboard; owner is the main window.
struct Pane;
void CopySelectionToClipboard(HWND owner, const Pane* pane, WalkSink& sink);
