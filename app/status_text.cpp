#include "app/status_text.h"

#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "base/cp932.h"
#include "base/prompts.h"
#include "base/text_buffer.h"
#include "core/filer_core.h"
#include "core/pane.h"

// Texts the worker leaves for the window: the window's thread shows the latest
// of each part on its progress timer and at the job's end. A text sent at each
// entry made the walk wait for that thread to wake and repaint, which cost
// more than the copy itself on trees of many folders.
static SRWLOCK gPendingLock = SRWLOCK_INIT;
static char gPending[2][2 * PATH_SIZE];
static int gPendingSet[2];

// Leaves a text for a part, or with none takes back what was left there.
static void LeavePending(int part, const char* text) {
    AcquireSRWLockExclusive(&gPendingLock);
    gPendingSet[part] = text != nullptr;
    if (text) {
        size_t take = WholeCharacters932(text, sizeof gPending[part] - 1);
        memcpy(gPending[part], text, take);
        gPending[part][take] = '\0';
    }
    ReleaseSRWLockExclusive(&gPendingLock);
}

// A text the window writes itself (a refusal, the notice of a close) stays
// this long before the worker's texts replace it, so that it can be read.
enum { WINDOW_TEXT_HOLD_MS = 1500 };
static DWORD gWindowTextAt[2];
static int gWindowTextHeld[2];

void ShowProgress(int part, const char* text) {
    HWND bar = gCore->statusBar;
    if (!bar)
        return;
    if (GetWindowThreadProcessId(bar, nullptr) != GetCurrentThreadId()) {
        LeavePending(part & 1, text);
        return;
    }
    // A text the worker left earlier must not come back over this one.
    if (part == 0 || part == 1) {
        LeavePending(part, nullptr);
        gWindowTextAt[part] = GetTickCount();
        gWindowTextHeld[part] = 1;
    }
    SendMessageA(bar, SB_SETTEXTA, (WPARAM)part, (LPARAM)text);
}

void ShowPendingProgress(int jobEnded) {
    HWND bar = gCore->statusBar;
    for (int part = 0; part < 2 && bar; part++) {
        if (gWindowTextHeld[part] && !jobEnded && GetTickCount() - gWindowTextAt[part] < WINDOW_TEXT_HOLD_MS)
            continue;
        gWindowTextHeld[part] = 0;
        // Taken and cleared at once: a text the worker leaves after this waits
        // for the next call.
        char text[2 * PATH_SIZE];
        AcquireSRWLockExclusive(&gPendingLock);
        int set = gPendingSet[part];
        gPendingSet[part] = 0;
        if (set)
            memcpy(text, gPending[part], sizeof text);
        ReleaseSRWLockExclusive(&gPendingLock);
        if (set)
            SendMessageA(bar, SB_SETTEXTA, (WPARAM)part, (LPARAM)text);
    }
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

void ReportUnreachableName(const char* folder, const char* name) {
    char text[2 * PATH_SIZE + 64] = "";
    if (folder[0]) {
        AppendText(text, sizeof text, folder);
        AppendText(text, sizeof text, "\r\n");
    }
    AppendText(text, sizeof text, name);
    AppendText(text, sizeof text, "\r\nこの名前のままでは扱えません");
    ShowMessage(nullptr, text, "Name Error", MB_OK);
}

static const char kCountText[] = "Object Count : ";

static void ShowObjectCount(int part) {
    char text[64];
    int count = (int)SendMessageA(gCore->panes[part].list, LVM_GETITEMCOUNT, 0, 0);
    FormatText(text, sizeof text, "%s%d", kCountText, count);
    SendMessageA(gCore->statusBar, SB_SETTEXTA, part, (LPARAM)text);
}

void UpdateObjectCounts() {
    for (int part = 0; part < 2; part++)
        ShowObjectCount(part);
}

void RefreshObjectCount(int part) {
    char text[2 * PATH_SIZE];
    LRESULT length = SendMessageA(gCore->statusBar, SB_GETTEXTLENGTHA, part, 0);
    if (LOWORD(length) >= sizeof text)
        return;
    SendMessageA(gCore->statusBar, SB_GETTEXTA, part, (LPARAM)text);
    if (strncmp(text, kCountText, sizeof kCountText - 1) == 0)
        ShowObjectCount(part);
}
