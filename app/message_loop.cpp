#include "app/message_loop.h"

#include <windows.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/idle_keys.h"
#include "app/keys.h"
#include "fileops/worker_job.h"
#include "core/pane.h"
#include "res/resource.h"

// Esc as the last pass saw it, and whether a job ran then.
static int gEscapeWasDown, gJobWasRunning;

// Esc stops a job when it is pressed anew in this window: not the press that
// closed the question before the job, still down when it starts, nor one
// that answers a question of the job's own thread (the shell's, owned by
// this window, shares its keys).
static int EscapePressed(int down) {
    HWND front = GetForegroundWindow();
    DWORD process = 0, thread = front ? GetWindowThreadProcessId(front, &process) : 0;
    int elsewhere = front && process == GetCurrentProcessId() && thread != GetCurrentThreadId();
    int pressed = down && !gEscapeWasDown && !(JobRunning() && !gJobWasRunning) && !elsewhere;
    gEscapeWasDown = down;
    gJobWasRunning = JobRunning();
    return pressed;
}

void PollKeyboard() {
    BYTE keys[256];
    if (!GetKeyboardState(keys))
        return;
    if (!DeleteKeyDown(keys))
        DeleteKeyReleased();
    IdleAction action = DecideIdleAction(keys, gCore->editing);
    if (!EscapePressed(action == IDLE_CANCEL) && action == IDLE_CANCEL)
        return;
    switch (action) {
    case IDLE_CANCEL: CancelJob(); break;
    case IDLE_DELETE: PostMessageA(gMainWindow, WM_COMMAND, CMD_DELETE, 0); break;
    case IDLE_NOTHING: break;
    }
}

int RunMessageLoop() {
    MSG msg;
    LoadKeys();
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0))
                return (int)msg.wParam;
            if (TranslateKeys(&msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        PollKeyboard();
        // Wait briefly for input instead of spinning a core; the poll still
        // runs at least every 10 ms while the queue is empty.
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
