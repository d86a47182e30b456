// What the user waits for: the built program is started over two folders and
// one command is timed in it, from the command to the end text in the status
// bar and the relisted pane. Prints "<case>|<seconds>".
//   window_bench <copy|update|delete|refresh|sort-COLUMN[-all]> <left> <right>
// copy and update copy the left folder's contents into the right one; delete
// deletes everything in the right one for good and refresh relists it: the
// right pane is the active one at start, the last one listed. sort-name,
// sort-size, sort-type and sort-date click that column's header of the right
// pane with the mouse (with "-all", everything selected first) and print
// "<case>|<seconds until the sorted rows answer>|<worst gap between answers>".
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

static void Press(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// The header's column, or -1 for another case.
static int ColumnOfCase(const char* what) {
    static const char* const kColumns[] = {"sort-name", "sort-size", "sort-type", "sort-date"};
    for (int column = 0; column < 4; column++)
        if (!strncmp(what, kColumns[column], strlen(kColumns[column])))
            return column;
    return -1;
}

// Clicks the column's header with the mouse, as a user does, and watches the
// window from here: every few milliseconds it is asked for nothing (WM_NULL)
// and for the name of its first and last rows. The sort has taken effect when
// either name changed (the bench's data give no file the first place both
// before and after any column's sort); the watch goes on for half a second
// after that. 0 when the click did nothing within a minute.
static int TimeHeaderClick(Program& program, HWND main, HWND list, int column, double* answered,
                           double* worstGap) {
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (!header || rows < 2)
        return 0;
    RECT rect = {};
    RemoteBuffer buffer(program.process(), sizeof rect);
    buffer.Write(&rect, sizeof rect);
    if (!SendMessageA(header, HDM_GETITEMRECT, (WPARAM)column, (LPARAM)buffer.address()))
        return 0;
    buffer.Read(&rect, sizeof rect);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(header, nullptr, &centre, 1);
    std::string first = RemoteItemText(program.process(), list, 0, 0);
    std::string last = RemoteItemText(program.process(), list, rows - 1, 0);

    SetCursorPos(centre.x, centre.y);
    Sleep(100);
    Press(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    WaitUntilIdle(main);
    // The header sorts when the button comes up.
    double start = Seconds(), lastAnswer = start;
    Press(MOUSEEVENTF_LEFTUP);
    *answered = 0;
    *worstGap = 0;
    auto answer = [&] {
        double now = Seconds();
        if (now - lastAnswer > *worstGap)
            *worstGap = now - lastAnswer;
        lastAnswer = now;
        return now - start;
    };
    for (;;) {
        DWORD_PTR result;
        if (!SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result))
            return 0;
        double now = answer();
        if (!*answered) {
            int moved = RemoteItemText(program.process(), list, 0, 0) != first ||
                        RemoteItemText(program.process(), list, rows - 1, 0) != last;
            now = answer();
            if (moved)
                *answered = now;
        }
        if (*answered ? now > *answered + 0.5 : now > 60)
            return *answered > 0;
        Sleep(3);
    }
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr,
                "usage: window_bench <copy|update|delete|refresh|sort-COLUMN[-all]> <left> <right>\n");
        return 2;
    }
    const char* what = argv[1];
    int column = ColumnOfCase(what);
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
    } else if (column >= 0) {
        if (strstr(what, "-all")) {
            LVITEMA state = {};
            state.stateMask = state.state = LVIS_SELECTED;
            RemoteBuffer buffer(program.process(), sizeof state);
            buffer.Write(&state, sizeof state);
            SendMessageA(right, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)buffer.address());
        }
        double answered, worstGap;
        ok = TimeHeaderClick(program, main, right, column, &answered, &worstGap);
        PostMessageA(main, WM_CLOSE, 0, 0);
        program.WaitForExit();
        if (!ok)
            return 1;
        printf("%s|%.4f|%.4f\n", what, answered, worstGap);
        return 0;
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
