#include "fileops/progress.h"

#include <windows.h>
#include <commctrl.h>

#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "base/text_buffer.h"

void ShowProgress(int part, const char* text) {
    if (gCore->statusBar)
        SendMessageA(gCore->statusBar, SB_SETTEXTA, (WPARAM)part, (LPARAM)text);
}

void ReportPathTooLong(const char* folder, const char* name) {
    // Both halves fit: each comes from a path of at most 259 bytes.
    char text[2 * PATH_SIZE + 8];
    FormatText(text, sizeof text, "%s\r\n%s", folder, name);
    ShowMessage(nullptr, text, "Path Length Error", MB_OK);
}
