#include "tests/e2e/e2e_support.h"

#include <stdio.h>

#include <algorithm>

const char kClass[] = "Brennik by Ostrand Kelvo";

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size) : process_(process), size_(size) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}
RemoteBuffer::~RemoteBuffer() {
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}
void RemoteBuffer::Write(const void* data, size_t size) {
    WriteProcessMemory(process_, address_, data, size, nullptr);
}
void RemoteBuffer::Read(void* data, size_t size) {
    ReadProcessMemory(process_, address_, data, size, nullptr);
}
std::string RemoteBuffer::ReadText(size_t offset) {
    std::string bytes(size_ - offset, '\0');
    ReadProcessMemory(process_, (char*)address_ + offset, &bytes[0], bytes.size(), nullptr);
    return bytes.c_str();
}

// Wine reports no CPU times for other processes, so they are read from the
// Linux process that runs the program: Z:\proc\<pid>\stat, found by its
// command line. Returns -1 when no such process is found.
double LinuxCpuSeconds(const char* exeName) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    double seconds = -1;
    do {
        if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
            continue;
        std::string folder = std::string("Z:\\proc\\") + found.cFileName;
        std::string cmdline = ReadBytes(folder + "\\cmdline");
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        if (cmdline.find(exeName) == std::string::npos || cmdline.find("e2e") != std::string::npos)
            continue;
        std::string stat = ReadBytes(folder + "\\stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        // After the name: state, then fields 4..13, then utime and stime.
        unsigned long long utime = 0, stime = 0;
        if (sscanf(stat.c_str() + close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                   &stime) == 2)
            seconds = (double)(utime + stime) / 100.0; // clock ticks of 1/100 s
    } while (seconds < 0 && FindNextFileA(search, &found));
    FindClose(search);
    return seconds;
}

std::string RemoteItemText(HANDLE process, HWND list, int item, int column) {
    RemoteBuffer buffer(process, sizeof(LVITEMA) + 260);
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = (char*)buffer.address() + sizeof(LVITEMA);
    lv.cchTextMax = 260;
    buffer.Write(&lv, sizeof lv);
    SendMessageA(list, LVM_GETITEMTEXTA, item, (LPARAM)buffer.address());
    return buffer.ReadText(sizeof(LVITEMA));
}

std::wstring RemoteItemTextW(HANDLE process, HWND list, int item) {
    WCHAR text[260] = L"";
    RemoteBuffer buffer(process, sizeof(LVITEMW) + sizeof text);
    LVITEMW lv = {};
    lv.pszText = (WCHAR*)((char*)buffer.address() + sizeof(LVITEMW));
    lv.cchTextMax = 260;
    buffer.Write(&lv, sizeof lv);
    SendMessageW(list, LVM_GETITEMTEXTW, item, (LPARAM)buffer.address());
    ReadProcessMemory(process, lv.pszText, text, sizeof text - sizeof(WCHAR), nullptr);
    return text;
}

std::string RemoteStatusText(HANDLE process, HWND status, int part) {
    RemoteBuffer buffer(process, 260);
    SendMessageA(status, SB_GETTEXTA, part, (LPARAM)buffer.address());
    return buffer.ReadText();
}

// Saves what the screen shows of the windows (the whole screen without one)
// as a 24-bit BMP; the test driver turns it into PNG.
bool SaveScreen(const std::string& path, HWND window, HWND alsoShown) {
    HDC screen = GetDC(nullptr);
    RECT area = {0, 0, GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    if (window) {
        RECT shown, also;
        GetWindowRect(window, &shown);
        if (alsoShown && GetWindowRect(alsoShown, &also))
            UnionRect(&shown, &shown, &also);
        IntersectRect(&area, &area, &shown);
    }
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) {
        ReleaseDC(nullptr, screen);
        return false;
    }
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((DWORD)w * 3 + 3) & ~3u, size = stride * (DWORD)h;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    std::string bytes((const char*)&fh, sizeof fh);
    bytes.append((const char*)&bi.bmiHeader, sizeof bi.bmiHeader);
    bytes.append((const char*)bits, size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    WriteBytes(path, bytes);
    return Exists(path);
}

std::string ShotPath(const char* name) {
    std::string folder = ModuleFolder() + "..\\e2e\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + name + (sizeof(void*) == 8 ? "-win64.bmp" : "-win32.bmp");
}

bool Program::Start(const std::string& workFolder) {
    return StartProgram(ModuleFolder() + "Brennik.exe", workFolder);
}

bool Program::StartProgram(const std::string& exe, const std::string& workFolder) {
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, workFolder.c_str(),
                          &si, &info_) != 0;
}

HWND Program::WaitForWindow(const char* cls, const char* title, DWORD timeout) {
    HWND found = nullptr;
    DWORD start = GetTickCount();
    while (!(found = FindWindowA(cls, title)) && GetTickCount() - start < timeout)
        Sleep(50);
    return found;
}

HWND Program::WaitForMainWindow() {
    HWND main = WaitForWindow(kClass, nullptr);
    DWORD start = GetTickCount();
    // The window is found while it still builds its children; the status bar comes last.
    while (main && !GetDlgItem(main, 102) && GetTickCount() - start < 20000)
        Sleep(50);
    Sleep(300);
    return main;
}

DWORD Program::WaitForExit(DWORD timeout) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, timeout) == WAIT_OBJECT_0)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

Program::~Program() {
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

std::string RemoteWindowText(HWND window) {
    char text[MAX_PATH] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

void ClickAt(int x, int y, bool right) {
    SetCursorPos(x, y);
    Sleep(50);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input[0], sizeof(INPUT));
    Sleep(50);
    SendInput(1, &input[1], sizeof(INPUT));
    Sleep(300);
}

void WriteQuietDataFile(const std::string& folder) {
    auto record = [](std::string text) {
        text.resize(78, ' ');
        return text + "\r\n";
    };
    WriteBytes(folder + "Brenn.dat", record("/ no tools: nothing is ever started") + record("0   1") +
                                         record("*               0   0"));
}

void KeyDown(WORD key) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    SendInput(1, &input, sizeof input);
}

void KeyUp(WORD key) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void HoldKey(WORD key, DWORD milliseconds) {
    KeyDown(key);
    Sleep(milliseconds);
    KeyUp(key);
    Sleep(300);
}

bool Xdotool(const std::string& arguments) {
    // Wine starts a Linux program but can't wait for its handle: the shell
    // puts xdotool's exit code into a file of this call's own, whole (by a
    // rename), when xdotool has ended.
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    static int calls;
    std::string done = "/tmp/brennik-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(now.QuadPart) + "-" + std::to_string(++calls);
    std::string command = "/bin/sh -c \"/usr/bin/xdotool " + arguments + "; echo $? >" + done +
                          ".part && mv " + done + ".part " + done + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string windowsDone = "Z:" + done;
    for (char& c : windowsDone)
        if (c == '/')
            c = '\\';
    bool ended = WaitFor([&] { return Exists(windowsDone); }, 10000);
    std::string code = ended ? ReadBytes(windowsDone) : "";
    DeleteFileA(windowsDone.c_str());
    if (code != "0\n")
        printf("xdotool %s: %s\n", arguments.c_str(), ended ? ("exit code " + code).c_str() : "did not end");
    Sleep(200); // what the key did arrives through the X server a moment later
    return code == "0\n";
}

HWND FocusOf(HWND main) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

POINT ItemCentre(HANDLE process, HWND list, int item) {
    RECT rect = {};
    rect.left = LVIR_LABEL;
    RemoteBuffer buffer(process, sizeof rect);
    buffer.Write(&rect, sizeof rect);
    SendMessageA(list, LVM_GETITEMRECT, item, (LPARAM)buffer.address());
    buffer.Read(&rect, sizeof rect);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(list, nullptr, &centre, 1);
    return centre;
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(300);
}
