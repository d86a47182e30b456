#include "fileops/progress.h"

#include <windows.h>
#include <commctrl.h>

#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "base/cp932.h"
#include "base/spellable.h"
#include "base/text_buffer.h"
#include "fileops/file_path.h"
#include "fileops/selection.h"
#include "fileops/walk_paths.h"

#include <string.h>

void ShowProgress(int part, const char* text) {
    if (gCore->statusBar)
        SendMessageA(gCore->statusBar, SB_SETTEXTA, (WPARAM)part, (LPARAM)text);
}

int FormItemPaths(const char* first, const char* second, const SelectedItem& item, FilePath* source,
                  FilePath* destination) {
    if (!ItemFilePath(source, first, item.name, RealNameOf(item), WALK_PATH_MAX)) {
        ReportPathTooLong(first, item.name);
        return 0;
    }
    if (!ItemFilePath(destination, second, item.name, RealNameOf(item), WALK_PATH_MAX)) {
        ReportPathTooLong(second, item.name);
        return 0;
    }
    return 1;
}

void ReportPathTooLong(const char* folder, const char* name) {
    // Folder and name on two lines; a name from another program may be longer
    // than any path, so it is cut at a whole character to fit the box.
    char text[2 * PATH_SIZE + 8] = "";
    AppendText(text, sizeof text, folder);
    AppendText(text, sizeof text, "\r\n");
    size_t have = strlen(text), room = sizeof text - 4 - have;
    size_t take = WholeCharacters932(name, room);
    memcpy(text + have, name, take);
    text[have + take] = '\0';
    if (name[take])
        AppendText(text, sizeof text, "...");
    ShowMessage(nullptr, text, "Path Length Error", MB_OK);
}

int RefuseUnreachableName(const char* folder, const char* name, const WCHAR* realName) {
    if (!realName || ReachOfName(realName) != NAME_UNREACHABLE)
        return 0;
    char text[2 * PATH_SIZE + 64] = "";
    if (folder[0]) {
        AppendText(text, sizeof text, folder);
        AppendText(text, sizeof text, "\r\n");
    }
    AppendText(text, sizeof text, name);
    AppendText(text, sizeof text, "\r\nこの名前のままでは扱えません");
    ShowMessage(nullptr, text, "Name Error", MB_OK);
    return 1;
}
