#include "fileops/tree_delete.h"

#include <shellapi.h>
#include <string.h>

#include "base/scoped.h"

#include "core/filer_core.h"
#include "fileops/file_path.h"
#include "fileops/folder_entries.h"
#include "fileops/progress.h"
#include "fileops/walk_paths.h"
#include "fileops/walk_sink.h"

static const char kFolderEntryError[] = "DelZ Current Directry Error";

static int DeleteWalk(const FilePath& path, DWORD attributes, CancelSource cancel, WalkSink& sink);

int DeleteTree(const char* path, CancelSource cancel, WalkSink& sink) {
    FilePath target;
    if (!SetFilePath(&target, path))
        return 0;
    return DeleteTree(target, cancel, sink);
}

int DeleteTree(const FilePath& path, CancelSource cancel, WalkSink& sink) {
    DWORD attributes = AttributesOfPath(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        sink.Failed(path.text, kFolderEntryError);
        return 0;
    }
    return DeleteWalk(path, attributes, cancel, sink);
}

// A walked entry brings its attributes from the folder search.
static int DeleteWalk(const FilePath& path, DWORD attributes, CancelSource cancel, WalkSink& sink) {
    // Attributes set on a link would land on what it points to.
    int link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!link && (attributes & kept))
            SetAttributesOfPath(path, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileOfPath(path))
            sink.Failed(path.text, "DelZ  File を削除できません");
        return 1;
    }
    // A link to a folder is never entered: emptying it would delete what it
    // points to, outside the selection. Only the link itself is removed.
    if (!link) {
        // An entry the walk can't name keeps its folder: the removal of the
        // folder then fails and says so.
        DWORD error = ForEachEntry(path, cancel, sink, [&](const FoundEntry& found, const FilePath& child) {
            DeleteWalk(child, found.found.dwFileAttributes, cancel, sink);
        });
        if (error == ERROR_FILENAME_EXCED_RANGE) {
            sink.PathTooLong(path.text, "*.*");
            return 0;
        }
        if (error && error != ERROR_FILE_NOT_FOUND) {
            sink.Failed(path.text, kFolderEntryError);
            return 0;
        }
    }
    if (!link)
        SetAttributesOfPath(path, FILE_ATTRIBUTE_DIRECTORY);
    if (!RemoveFolderOfPath(path))
        sink.Failed(path.text, "DelZ  Folder を削除できません");
    return 1;
}

int SendToRecycleBin(const FilePath& path, HWND owner) {
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
        operation.hwnd = owner;
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
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list;
    operation.fFlags = flags;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// The item's path, within the limit of where it goes; 0, told to the sink,
// when it doesn't fit.
static int FormItemPath(const char* folder, const SelectedItem& item, size_t limit, FilePath* path,
                        WalkSink& sink) {
    if (ItemFilePath(path, folder, item.name, RealNameOf(item), limit))
        return 1;
    sink.PathTooLong(folder, item.name);
    return 0;
}

// Counts what a look below a folder could not see, and says nothing.
class CountingSink : public WalkSink {
  public:
    void Progress(int, const char*) override {}
    void Failed(const char*, const char*) override { unseen++; }
    void PathTooLong(const char*, const char*) override { unseen++; }
    void Unreachable(const char*, const char*) override { unseen++; }
    void Ended(JobKind) override {}
    int unseen = 0;
};

static int IsLinkEntry(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// 1 when the shell must not get the folder whole: a link lies below it, or
// something below it could not be looked at (a name no path reaches, a path
// past the limit, a folder that can't be searched), which may be one.
static int HoldsLink(const FilePath& folder) {
    CountingSink counted;
    int found = 0;
    DWORD error = ForEachEntry(folder, nullptr, counted, [&](const FoundEntry& entry, const FilePath& child) {
        DWORD attributes = entry.found.dwFileAttributes;
        if (!found)
            found = IsLinkEntry(attributes) || ((attributes & FILE_ATTRIBUTE_DIRECTORY) && HoldsLink(child));
    });
    return found || counted.unseen || (error && error != ERROR_FILE_NOT_FOUND);
}

static int IsEmptyFolder(const FilePath& folder) {
    CountingSink counted;
    int entries = 0;
    DWORD error =
        ForEachEntry(folder, nullptr, counted, [&](const FoundEntry&, const FilePath&) { entries++; });
    return !entries && !counted.unseen && (!error || error == ERROR_FILE_NOT_FOUND);
}

// Into the recycle bin without the shell ever getting a link: where the bin
// can't take a folder, the shell offers to delete it for good, and its own
// delete walks into links and empties what they lead to. A link goes by
// itself, as the permanent delete removes it; a folder that holds one goes
// by parts, and itself once it is empty. What stays was said, or is what
// the user chose to keep when the shell asked.
static void RecycleTree(const FilePath& path, DWORD attributes, const WalkRun& run) {
    WalkSink& sink = run.sink;
    if (IsLinkEntry(attributes)) {
        DeleteTree(path, nullptr, sink);
        return;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) && HoldsLink(path)) {
        ForEachEntry(path, nullptr, sink, [&](const FoundEntry& entry, const FilePath& child) {
            RecycleTree(child, entry.found.dwFileAttributes, run);
        });
        if (!IsEmptyFolder(path))
            return;
    }
    if (!SendToRecycleBin(path, run.owner))
        sink.Failed(path.text, "ゴミ箱へ移動できませんでした");
}

int RecycleVisitor(const char* firstFolder, const char*, const SelectedItem& item, const WalkRun& run) {
    FilePath path;
    if (!FormItemPath(firstFolder, item, RECYCLE_PATH_MAX, &path, run.sink))
        return 1;
    run.sink.Progress(0, item.name);
    RecycleTree(path, AttributesOfPath(path), run);
    return 1;
}

int DeleteVisitor(const char* firstFolder, const char*, const SelectedItem& item, const WalkRun& run) {
    FilePath path;
    if (!FormItemPath(firstFolder, item, WALK_PATH_MAX, &path, run.sink))
        return 1;
    run.sink.Progress(0, item.name);
    DeleteTree(path, run.cancel, run.sink);
    return 1;
}
