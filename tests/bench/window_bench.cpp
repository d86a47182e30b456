// What the user waits for: the built program is started over two folders and
// one command is timed in it, from the command to the end text in the status
// bar and the relisted pane. Prints "<case>|<seconds>".
//   window_bench <copy|update|delete|refresh> <left folder> <right folder>
// copy and update copy the left folder's contents into the right one; delete
// deletes everything in the right one for good and refresh relists it: the
// right pane is the active one at start, the last one listed.
#include <stdio.h>
#include <string.h>

#include "res/resource.h"
#include "tests/e2e/e2e_support.h"

static double Seconds() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

// Returns once the program's UI thread is back in its message loop: the
// relisting after a job runs on that thread before it takes this message.
static void WaitUntilIdle(HWND main) {
    SendMessageA(main, WM_NULL, 0, 0);
}

// Polled by the window text, which the system carries across processes in
// one call: a heavier poll would slow the program it measures.
static int WaitForStatus(HWND status, const char* text) {
    for (DWORD start = GetTickCount(); RemoteWindowText(status) != text; Sleep(20))
        if (GetTickCount() - start > 600000)
            return 0;
    return 1;
}

// Answers the delete question with its OK button once it shows.
static int AnswerDeleteQuestion() {
    HWND dialog = nullptr;
    for (DWORD start = GetTickCount(); !(dialog = FindWindowA("#32770", "ﾀﾞｲｱﾛｸﾞ")); Sleep(2))
        if (GetTickCount() - start > 20000)
            return 0;
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: window_bench <copy|update|delete|refresh> <left> <right>\n");
        return 2;
    }
    const char* what = argv[1];
    SettingsFileGuard settings;
    settings.Write(std::string("[Filer]\r\nL_dir=") + argv[2] + "\\\r\nR_dir=" + argv[3] + "\\\r\n");
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    Program program;
    if (!program.Start(here))
        return 1;
    HWND main = program.WaitForMainWindow();
    if (!main)
        return 1;
    HWND right = GetDlgItem(main, IDC_RIGHT_LIST), status = GetDlgItem(main, IDC_STATUS);
    WaitUntilIdle(main);
    double start = Seconds();
    int ok = 1;
    if (!strcmp(what, "copy") || !strcmp(what, "update")) {
        SendMessageA(main, WM_COMMAND, CMD_LEFT_COPY_FOLDER, 0);
        ok = WaitForStatus(status, "Copy End");
    } else if (!strcmp(what, "delete")) {
        // Everything in the right pane selected, then the permanent delete; the
        // time runs from the answer to the question.
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        RemoteBuffer buffer(program.process(), sizeof state);
        buffer.Write(&state, sizeof state);
        SendMessageA(right, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)buffer.address());
        PostMessageA(main, WM_COMMAND, CMD_DELETE, 0);
        ok = AnswerDeleteQuestion();
        start = Seconds();
        ok = ok && WaitForStatus(status, "Delete End");
    } else {
        SendMessageA(main, WM_COMMAND, CMD_REFRESH, 0);
    }
    WaitUntilIdle(main);
    double elapsed = Seconds() - start;
    PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit();
    if (!ok)
        return 1;
    printf("%s|%.4f\n", what, elapsed);
    return 0;
}
