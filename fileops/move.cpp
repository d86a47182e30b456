#include <string.h>

#include "base/scoped.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "fileops/walk_sink.h"

static const char kMoveError[] = "Move File ERROR";

// A link is moved as itself, renamed through a handle of the link itself.
// Where the platform opens what the link leads to instead (Wine does, and its
// move of a link to a folder moves that folder), nothing is moved: 0.
static int MoveLinkItself(const FilePath& source, const FilePath& destination) {
    WCHAR from[PATH_SIZE], to[PATH_SIZE];
    if (!WideOfPath(source, from, PATH_SIZE) || !WideOfPath(destination, to, PATH_SIZE))
        return 0;
    ScopedHandle link(CreateFileW(ExactPath(from).path, DELETE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!link.Valid() || !GetFileInformationByHandle(link.Get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return 0;
    ExactPath target(to);
    int units = lstrlenW(target.path);
    if (units == 0)
        return 0;
    size_t size = sizeof(FILE_RENAME_INFO) + (size_t)units * sizeof(WCHAR);
    FILE_RENAME_INFO* rename = (FILE_RENAME_INFO*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!rename)
        return 0;
    rename->ReplaceIfExists = FALSE;
    rename->FileNameLength = (DWORD)units * sizeof(WCHAR);
    memcpy(rename->FileName, target.path, (size_t)units * sizeof(WCHAR));
    int moved = SetFileInformationByHandle(link.Get(), FileRenameInfo, rename, (DWORD)size);
    HeapFree(GetProcessHeap(), 0, rename);
    return moved;
}

int MoveVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                const WalkRun& run) {
    FilePath source, destination;
    if (!FormItemPaths(firstFolder, secondFolder, item, &source, &destination, run.sink))
        return 1;
    run.sink.Progress(0, item.name);
    DWORD attributes = AttributesOfPath(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!MoveLinkItself(source, destination)) {
            char text[PATH_SIZE + 64];
            FormatText(text, sizeof text, "%s\r\nリンクは移動できません", source.text);
            run.sink.Failed(text, kMoveError);
        }
        return 1;
    }
    if (!MoveFileOfPath(source, destination, 0))
        run.sink.Failed(source.text, kMoveError);
    return 1;
}
