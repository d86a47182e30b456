#include "fileops/tree_delete.h"

#include <shellapi.h>
#include <string.h>

#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "fileops/progress.h"
#include "fileops/walk_paths.h"

static const char kFolderEntryError[] = "DelZ Current Directry Error";

int FilerCore::DeleteTree(const char* path, CancelSource cancel) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        ShowMessage(nullptr, path, kFolderEntryError, MB_OK);
        return 0;
    }
    return DeleteWalk(path, attributes, cancel);
}

// A walked entry brings its attributes from the folder search.
int FilerCore::DeleteWalk(const char* path, DWORD attributes, CancelSource cancel) {
    // Attributes set on a link would land on what it points to.
    int link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!link && (attributes & kept))
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path))
            ShowMessage(nullptr, path, "DelZ  File を削除できません", MB_OK);
        return 1;
    }
    // A link to a folder is never entered: emptying it would delete what it
    // points to, outside the selection. Only the link itself is removed.
    if (!link) {
        char pattern[PATH_SIZE];
        if (!SearchPattern(pattern, sizeof pattern, path)) {
            ReportPathTooLong(path, "*.*");
            return 0;
        }
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern, &found);
        if (search == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) {
            ShowMessage(nullptr, path, kFolderEntryError, MB_OK);
            return 0;
        }
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (IsCancelled(cancel))
                    break;
                if (found.cFileName[0] == '.')
                    continue;
                char child[PATH_SIZE];
                if (!ChildPath(child, sizeof child, path, found.cFileName)) {
                    ReportPathTooLong(path, found.cFileName);
                    continue;
                }
                DeleteWalk(child, found.dwFileAttributes, cancel);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    if (!link)
        SetFileAttributesA(path, FILE_ATTRIBUTE_DIRECTORY);
    if (!RemoveDirectoryA(path))
        ShowMessage(nullptr, path, "DelZ  Folder を削除できません", MB_OK);
    return 1;
}

int SendToRecycleBin(char* path) {
    path[strlen(path) + 1] = '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = path;
    // Without the nuke warning the shell would destroy, unasked, whatever it
    // cannot recycle.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    return SHFileOperationA(&operation);
}

int DeleteVisitor(const char* firstFolder, const char*, const char* name, int extra, LPARAM, CancelSource cancel) {
    // One byte is kept for the second NUL the shell's list needs.
    char path[PATH_SIZE + 1];
    if (!ItemPath(path, sizeof path, firstFolder, name, extra ? WALK_PATH_MAX : RECYCLE_PATH_MAX)) {
        ReportPathTooLong(firstFolder, name);
        return 1;
    }
    ShowProgress(0, name);
    if (extra)
        gCore->DeleteTree(path, cancel);
    else
        SendToRecycleBin(path);
    return 1;
}
