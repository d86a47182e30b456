// A stand-in for the external programs: appends its command line and its
// current folder, one line each run, to "recorded.txt" beside itself.
// Started with "--clipboard" it is instead another program reading the file
// list on the clipboard: it logs the first name as ANSI text and what
// opening that name by the ANSI call reads.
#include <windows.h>
#include <shellapi.h>
#include <string.h>

static void Append(HANDLE file, const char* text, DWORD length) {
    DWORD written;
    WriteFile(file, text, length, &written, nullptr);
}

static void LogClipboard(HANDLE log) {
    char name[MAX_PATH] = "(no list)";
    char contents[256] = "";
    DWORD got = 0;
    if (OpenClipboard(nullptr)) {
        HDROP drop = (HDROP)GetClipboardData(CF_HDROP);
        if (drop && DragQueryFileA(drop, 0, name, sizeof name)) {
            HANDLE file =
                CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                ReadFile(file, contents, sizeof contents - 1, &got, nullptr);
                CloseHandle(file);
            }
        }
        CloseClipboard();
    }
    contents[got] = '\0';
    Append(log, name, (DWORD)strlen(name));
    Append(log, "|", 1);
    Append(log, contents, got);
    Append(log, "\n", 1);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, log, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    char* slash = strrchr(log, '\\');
    if (!slash || (size_t)(slash - log) + 14 >= sizeof log)
        return 1;
    strcpy(slash + 1, "recorded.txt");
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    // Copies started together (a tool for each selected file) write in turn:
    // Wine's appends from two processes can land on the same bytes.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 1000; tries++) {
        file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* line = GetCommandLineA();
    if (strstr(line, " --clipboard")) {
        LogClipboard(file);
    } else {
        Append(file, line, (DWORD)strlen(line));
        Append(file, "|", 1);
        Append(file, folder, (DWORD)strlen(folder));
        Append(file, "\n", 1);
    }
    CloseHandle(file);
    return 0;
}
