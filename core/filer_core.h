// The one program-wide object: sort state, scratch path, association tables,
// the status bar and the cancel flag of the file operations.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "assoc/assoc_file.h"
#include "base/path_size.h"

struct FilePath;
class WalkSink;

struct FilerCore {
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
    void InitPane(HWND list, char* path);
    int ListFolder(HWND list, char* path);
    // Toggles the column's direction and sorts the list by it.
    int SortByColumn(HWND list, int column);
    // Sorts sortList by the column in its present direction.
    int SortList(int column);

    // The file operations. cancel is the job's flag, or null for a walk that
    // can't be cancelled; the sink hears every entry, failure and refusal.
    int CopyTree(const char* source, const char* destination, int force, const volatile LONG* cancel,
                 WalkSink& sink);
    int CopyTree(const FilePath& source, const FilePath& destination, int force, const volatile LONG* cancel,
                 WalkSink& sink);
    int IsCopyDue(const char* source, const char* destination);
    int IsCopyDue(const FilePath& source, const FilePath& destination);
    int CopyFolderContents(const char* sourceFolder, const char* destinationFolder,
                           const volatile LONG* cancel, WalkSink& sink);
    int CopyPathsInto(const FilePath* paths, const char* folder, WORD count, const volatile LONG* cancel,
                      WalkSink& sink);
    int DeleteTree(const char* path, const volatile LONG* cancel, WalkSink& sink);
    int DeleteTree(const FilePath& path, const volatile LONG* cancel, WalkSink& sink);

  private:
    int CopyWalk(const FilePath& source, const FilePath& destination, int force, const volatile LONG* cancel,
                 WalkSink& sink, struct CopyWalkState& walk, const WIN32_FIND_DATAA* entry);
    int DeleteWalk(const FilePath& path, DWORD attributes, const volatile LONG* cancel, WalkSink& sink);
};

extern FilerCore* gCore;
