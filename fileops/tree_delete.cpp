#include "fileops/tree_delete.h"

#include <shellapi.h>
#include <string.h>

#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/walk_paths.h"

static const char kFolderEntryError[] = "DelZ Current Directry Error";

int FilerCore::DeleteTree(const char* path, CancelSource cancel) {
    FilePath target;
    if (!SetFilePath(&target, path))
        return 0;
    return DeleteTree(target, cancel);
}

int FilerCore::DeleteTree(const FilePath& path, CancelSource cancel) {
    DWORD attributes = AttributesOfPath(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        ShowMessage(nullptr, path.text, kFolderEntryError, MB_OK);
        return 0;
    }
    return DeleteWalk(path, attributes, cancel);
}

// A walked entry brings its attributes from the folder search.
int FilerCore::DeleteWalk(const FilePath& path, DWORD attributes, CancelSource cancel) {
    // Attributes set on a link would land on what it points to.
    int link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!link && (attributes & kept))
            SetAttributesOfPath(path, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileOfPath(path))
            ShowMessage(nullptr, path.text, "DelZ  File を削除できません", MB_OK);
        return 1;
    }
    // A link to a folder is never entered: emptying it would delete what it
    // points to, outside the selection. Only the link itself is removed.
    if (!link) {
        FoundEntry found;
        HANDLE search = FindFirstEntry(path, &found);
        if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILENAME_EXCED_RANGE) {
            ReportPathTooLong(path.text, "*.*");
            return 0;
        }
        if (search == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) {
            ShowMessage(nullptr, path.text, kFolderEntryError, MB_OK);
            return 0;
        }
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (IsCancelled(cancel))
                    break;
                const char* name = found.found.cFileName;
                // An entry the walk can't name keeps its folder: the removal
                // of the folder then fails and says so.
                if (name[0] == '.' || RefuseUnreachableName(path.text, name, RealNameOf(found)))
                    continue;
                FilePath child;
                if (!ChildFilePath(&child, path, name, RealNameOf(found))) {
                    ReportPathTooLong(path.text, name);
                    continue;
                }
                DeleteWalk(child, found.found.dwFileAttributes, cancel);
            } while (FindNextEntry(search, &found));
            FindClose(search);
        }
    }
    if (!link)
        SetAttributesOfPath(path, FILE_ATTRIBUTE_DIRECTORY);
    if (!RemoveFolderOfPath(path))
        ShowMessage(nullptr, path.text, "DelZ  Folder を削除できません", MB_OK);
    return 1;
}

int SendToRecycleBin(const FilePath& path) {
    // Without the nuke warning the shell would destroy, unasked, whatever it
    // cannot recycle.
    const FILEOP_FLAGS flags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    if (IsWidePath(path)) {
        // Doubly ended, as the shell's lists are; in the form that reaches
        // a name ending in "." or " " itself.
        WCHAR list[PATH_SIZE + 9];
        ExactPath exact(path.wide);
        int length = lstrlenW(exact.path);
        if (length == 0)
            return 0;
        memcpy(list, exact.path, (size_t)(length + 1) * sizeof(WCHAR));
        list[length + 1] = 0;
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = list;
        operation.fFlags = flags;
        return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
    }
    char list[PATH_SIZE + 1];
    size_t length = strlen(path.text);
    if (length >= PATH_SIZE)
        return 0;
    memcpy(list, path.text, length + 1);
    list[length + 1] = '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list;
    operation.fFlags = flags;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

int DeleteVisitor(const char* firstFolder, const char*, const SelectedItem& item, int extra, CancelSource cancel) {
    FilePath path;
    if (!ItemFilePath(&path, firstFolder, item.name, RealNameOf(item), extra ? WALK_PATH_MAX : RECYCLE_PATH_MAX)) {
        ReportPathTooLong(firstFolder, item.name);
        return 1;
    }
    ShowProgress(0, item.name);
    if (extra)
        gCore->DeleteTree(path, cancel);
    else if (!SendToRecycleBin(path))
        ShowMessage(nullptr, path.text, "ゴミ箱へ移動できませんでした", MB_OK);
    return 1;
}
