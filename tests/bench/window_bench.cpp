// What the user waits for: the built program is started over two folders and
// one command is timed in it, from the command to the end text in the status
// bar and the relisted pane. Prints "<case>|<seconds>".
//   window_bench <copy|update|delete|refresh|sort-COLUMN[-all]|paste|recycle|follow> <left> <right>
// copy and update copy the left folder's contents into the right one; delete
// deletes everything in the right one for good and refresh relists it: the
// right pane is the active one at start, the last one listed. sort-name,
// sort-size, sort-type and sort-date click that column's header of the right
// pane with the mouse (with "-all", everything selected first) and print
// "<case>|<seconds until the sorted rows answer>|<worst gap between answers>".
// paste puts the left folder itself on the clipboard and pastes it into the
// right one; recycle sends everything in the right one to the recycle bin.
// Both print "<case>|<seconds until the command has ended>|<worst gap>".
// follow makes ten files in the right folder from outside, one after the
// other, and prints "<case>|<median seconds until the row shows>|<worst gap>".
// BRENNIK_BENCH_PROGRAM names another build of the program to time.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

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

// The window watched from here from the moment of a command: asked for
// nothing (WM_NULL) every few milliseconds, and the worst gap between two of
// its answers kept, the first one counted from the command.
class AnswerWatch {
  public:
    explicit AnswerWatch(HWND main) : main_(main), start_(Seconds()), last_(start_) {}
    // The seconds since the command once the window has answered; -1 when it
    // has not answered for ten minutes.
    double Ask() {
        DWORD_PTR result;
        if (!SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result))
            return -1;
        return Answered();
    }
    // Counts an answer to any other message sent to the window's thread.
    double Answered() {
        double now = Seconds();
        if (question && !countFrom && !IsWindow(question))
            countFrom = now;
        double from = last_ > countFrom ? last_ : countFrom;
        if (now - from > worstGap)
            worstGap = now - from;
        last_ = now;
        return now - start_;
    }
    // Starts counting gaps only once the question has gone. Under Wine
    // without a window manager, the window's thread waits 2 s for a closing
    // dialog to be withdrawn, after any question: that wait is not the
    // command's. A thread of its own sees the question go while the window
    // may not answer.
    void CountFromTheEndOf(HWND closing) {
        question = closing;
        CloseHandle(CreateThread(nullptr, 0, WatchQuestion, this, 0, nullptr));
    }
    double worstGap = 0;
    HWND question = nullptr;
    volatile double countFrom = 0;

  private:
    static DWORD WINAPI WatchQuestion(LPVOID param) {
        AnswerWatch* watch = (AnswerWatch*)param;
        while (IsWindow(watch->question))
            Sleep(1);
        if (!watch->countFrom)
            watch->countFrom = Seconds();
        return 0;
    }
    HWND main_;
    double start_, last_;
};

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

static HWND DeleteQuestion() {
    return FindWindowA("#32770", "ﾀﾞｲｱﾛｸﾞ");
}

// Answers the delete question with its OK button once it shows.
static int AnswerDeleteQuestion() {
    HWND dialog = nullptr;
    for (DWORD start = GetTickCount(); !(dialog = DeleteQuestion()); Sleep(2))
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
    AnswerWatch watch(main);
    Press(MOUSEEVENTF_LEFTUP);
    *answered = 0;
    for (;;) {
        double now = watch.Ask();
        if (now < 0)
            return 0;
        if (!*answered) {
            int moved = RemoteItemText(program.process(), list, 0, 0) != first ||
                        RemoteItemText(program.process(), list, rows - 1, 0) != last;
            now = watch.Answered();
            if (moved)
                *answered = now;
        }
        if (*answered ? now > *answered + 0.5 : now > 60) {
            *worstGap = watch.worstGap;
            return *answered > 0;
        }
        Sleep(3);
    }
}

static void SelectAll(Program& program, HWND list) {
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED;
    RemoteBuffer buffer(program.process(), sizeof state);
    buffer.Write(&state, sizeof state);
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)buffer.address());
}

// What the right pane and the status bar show.
struct Shown {
    int rows = -1;
    std::string first, status;
    bool operator!=(const Shown& other) const {
        return rows != other.rows || first != other.first || status != other.status;
    }
};

// The questions the shell asked, and whether the program showed a box.
struct ShellAnswers {
    DWORD process;
    int asked, stop;
};

// A question of the shell's own (whether to delete for good what the bin
// can't take) is answered Yes and counted; any other box stops the bench.
static BOOL CALLBACK AnswerShell(HWND window, LPARAM param) {
    ShellAnswers* answers = (ShellAnswers*)param;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (process != answers->process || strcmp(cls, "#32770") || !IsWindowVisible(window) ||
        window == DeleteQuestion())
        return TRUE;
    if (!GetDlgItem(window, IDYES)) {
        fprintf(stderr, "the program showed a box: %s\n", RemoteWindowText(window).c_str());
        answers->stop = 1;
        return FALSE;
    }
    PostMessageA(window, WM_COMMAND, IDYES, 0);
    answers->asked++;
    return TRUE;
}

// Watches the window from the command (the watch's start) until it has
// settled on the command's end: nothing the pane or the status bar shows
// changed for a second, and ended() holds for what they show (it may look at
// the disk: it is asked at most once a second). That serves a command done
// on the window's thread, whose end nothing says, as well as a job that ends
// with a text and a relisting. step() answers the program's own question;
// the shell's are answered here. Returns the seconds from the command to the
// last change, or -1.
template <typename Step, typename Ended>
static double WatchUntilSettled(Program& program, HWND list, HWND status, AnswerWatch& watch,
                                ShellAnswers& answers, Step step, Ended ended) {
    const double kSettle = 1.0;
    Shown shown;
    double changed = 0, readAt = -1, askedAt = 0;
    for (;;) {
        double now = watch.Ask();
        if (now < 0 || now > 600)
            return -1;
        step(now);
        EnumWindows(AnswerShell, (LPARAM)&answers);
        if (answers.stop)
            return -1;
        // The pane and the status bar less often than the window: each read is
        // a round trip to the program's thread, which the watch must not slow.
        if (now - readAt >= 0.02) {
            Shown seen;
            seen.rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
            seen.first = seen.rows > 0 ? RemoteItemText(program.process(), list, 0, 0) : "";
            seen.status = RemoteWindowText(status);
            readAt = now = watch.Answered();
            if (seen != shown) {
                shown = seen;
                changed = now;
            }
        }
        if (now - changed >= kSettle && now - askedAt >= kSettle) {
            askedAt = now;
            if (ended(shown))
                return changed;
        }
        Sleep(5);
    }
}

// The number of files right in the folder and their bytes.
static void CountFiles(const std::string& folder, int* files, long long* bytes) {
    *files = 0;
    *bytes = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++*files;
            *bytes += ((long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Puts a file list naming the one entry on the clipboard, as another
// program's copy does.
static int PutOnClipboard(const char* path) {
    size_t length = strlen(path);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + length + 2);
    DROPFILES* list = block ? (DROPFILES*)GlobalLock(block) : nullptr;
    if (!list)
        return 0;
    list->pFiles = sizeof(DROPFILES);
    memcpy(list + 1, path, length);
    GlobalUnlock(block);
    int put = OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    if (!put)
        GlobalFree(block);
    return put;
}

// The paste of the folder into the (empty) right pane, the active one. It has
// ended when the pane lists the folder and its copy holds all its files.
static double TimePaste(Program& program, HWND main, const char* folder, const char* right,
                        double* worstGap) {
    HWND list = GetDlgItem(main, IDC_RIGHT_LIST), status = GetDlgItem(main, IDC_STATUS);
    const char* name = strrchr(folder, '\\') + 1;
    int files;
    long long bytes;
    CountFiles(folder, &files, &bytes);
    if (!files || !PutOnClipboard(folder))
        return -1;
    ShellAnswers answers = {GetProcessId(program.process()), 0, 0};
    AnswerWatch watch(main);
    PostMessageA(main, WM_COMMAND, CMD_CLIPBOARD_PASTE, 0);
    double seconds = WatchUntilSettled(
        program, list, status, watch, answers, [](double) {},
        [&](const Shown& shown) {
            if (shown.rows != 1 || shown.first != name)
                return false;
            int copied;
            long long copiedBytes;
            CountFiles(std::string(right) + "\\" + name, &copied, &copiedBytes);
            return copied == files && copiedBytes == bytes;
        });
    *worstGap = watch.worstGap;
    return seconds;
}

// Everything in the right pane sent to the recycle bin, timed from the answer
// to the question. It has ended when the pane lists what is left on the disk.
static double TimeRecycle(Program& program, HWND main, const char* right, double* worstGap, int* shellAsked) {
    HWND list = GetDlgItem(main, IDC_RIGHT_LIST), status = GetDlgItem(main, IDC_STATUS);
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    SelectAll(program, list);
    double answered = -1;
    ShellAnswers answers = {GetProcessId(program.process()), 0, 0};
    AnswerWatch watch(main);
    PostMessageA(main, WM_COMMAND, CMD_RIGHT_DELETE, 0);
    double seconds = WatchUntilSettled(
        program, list, status, watch, answers,
        [&](double now) {
            HWND question = answered < 0 ? DeleteQuestion() : nullptr;
            if (question) {
                watch.CountFromTheEndOf(question);
                PostMessageA(question, WM_COMMAND, IDOK, 0);
                answered = now;
            }
        },
        [&](const Shown& shown) {
            return answered >= 0 && shown.rows < rows &&
                   shown.rows == (int)FolderEntries(std::string(right) + "\\").size();
        });
    *worstGap = watch.worstGap;
    *shellAsked = answers.asked;
    return seconds < 0 ? -1 : seconds - answered;
}

// Files made in the right pane's folder from here, one at a time: for each,
// the seconds until the pane shows one row more, while the window is watched.
// Returns the median of those times and removes the files again.
static double TimeFollow(HWND main, const char* right, int changes, double* worstGap) {
    HWND list = GetDlgItem(main, IDC_RIGHT_LIST);
    std::vector<double> times;
    std::vector<std::string> made;
    AnswerWatch watch(main);
    for (int i = 0; i < changes; i++) {
        int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        std::string path = std::string(right) + "\\followed" + std::to_string(i) + ".tmp";
        double madeAt = watch.Ask();
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE || madeAt < 0)
            break;
        CloseHandle(file);
        made.push_back(path);
        for (double now = madeAt; now >= 0 && now - madeAt < 30; Sleep(2)) {
            now = watch.Ask();
            if ((int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > rows) {
                times.push_back(watch.Answered() - madeAt);
                break;
            }
        }
        // The next change comes after the pane's gap between two reads.
        for (double at = watch.Ask(); at >= 0 && watch.Ask() - at < 0.6; Sleep(5)) {
        }
    }
    *worstGap = watch.worstGap;
    for (const std::string& path : made)
        DeleteFileA(path.c_str());
    if (times.size() != made.size() || times.empty())
        return -1;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr,
                "usage: window_bench <copy|update|delete|refresh|sort-COLUMN[-all]|paste|recycle|follow> "
                "<left> <right>\n");
        return 2;
    }
    const char* what = argv[1];
    int column = ColumnOfCase(what);
    SettingsFileGuard settings;
    settings.Write(std::string("[Filer]\r\nL_dir=") + argv[2] + "\\\r\nR_dir=" + argv[3] + "\\\r\n");
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    Program program;
    const char* other = getenv("BRENNIK_BENCH_PROGRAM");
    if (!(other && *other ? program.StartProgram(other, here) : program.Start(here)))
        return 1;
    HWND main = program.WaitForMainWindow();
    if (!main)
        return 1;
    HWND right = GetDlgItem(main, IDC_RIGHT_LIST), status = GetDlgItem(main, IDC_STATUS);
    WaitUntilIdle(main);
    double start = Seconds(), elapsed = -1, worstGap = -1;
    int ok = 1, shellAsked = 0;
    if (!strcmp(what, "copy") || !strcmp(what, "update")) {
        SendMessageA(main, WM_COMMAND, CMD_LEFT_COPY_FOLDER, 0);
        ok = WaitForStatus(status, "Copy End");
    } else if (!strcmp(what, "delete")) {
        // Everything in the right pane selected, then the permanent delete; the
        // time runs from the answer to the question.
        SelectAll(program, right);
        PostMessageA(main, WM_COMMAND, CMD_DELETE, 0);
        ok = AnswerDeleteQuestion();
        start = Seconds();
        ok = ok && WaitForStatus(status, "Delete End");
    } else if (column >= 0) {
        if (strstr(what, "-all"))
            SelectAll(program, right);
        ok = TimeHeaderClick(program, main, right, column, &elapsed, &worstGap);
    } else if (!strcmp(what, "paste")) {
        ok = (elapsed = TimePaste(program, main, argv[2], argv[3], &worstGap)) >= 0;
    } else if (!strcmp(what, "follow")) {
        ok = (elapsed = TimeFollow(main, argv[3], 10, &worstGap)) >= 0;
    } else if (!strcmp(what, "recycle")) {
        ok = (elapsed = TimeRecycle(program, main, argv[3], &worstGap, &shellAsked)) >= 0;
    } else {
        SendMessageA(main, WM_COMMAND, CMD_REFRESH, 0);
    }
    if (worstGap < 0) {
        WaitUntilIdle(main);
        elapsed = Seconds() - start;
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit();
    if (!ok)
        return 1;
    if (shellAsked)
        fprintf(stderr, "the shell asked %d times whether to delete for good: answered Yes\n", shellAsked);
    if (worstGap < 0)
        printf("%s|%.4f\n", what, elapsed);
    else
        printf("%s|%.4f|%.4f\n", what, elapsed, worstGap);
    return 0;
}
