// A stand-in for the external programs: appends its command line and its
// current folder, one line each run, to "recorded.txt" beside itself.
#include <windows.h>
#include <string.h>

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
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* line = GetCommandLineA();
    DWORD written;
    WriteFile(file, line, (DWORD)strlen(line), &written, nullptr);
    WriteFile(file, "|", 1, &written, nullptr);
    WriteFile(file, folder, (DWORD)strlen(folder), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}
