// Starts the built Brennik.exe as a user would and checks it from outside:
// its window, its lists and status bar, its idle CPU, a screenshot, and the
// settings it writes when closed.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>

#include "tests/win/support/win_test_support.h"

static std::string ModuleFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

static const char kClass[] = "Brennik by Ostrand Kelvo";

// Reads text out of the program's own controls through memory of its process.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size) : process_(process), size_(size) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    void* address() const { return address_; }
    void Write(const void* data, size_t size) { WriteProcessMemory(process_, address_, data, size, nullptr); }
    std::string ReadText(size_t offset = 0) {
        std::string bytes(size_ - offset, '\0');
        ReadProcessMemory(process_, (char*)address_ + offset, &bytes[0], bytes.size(), nullptr);
        return bytes.c_str();
    }

private:
    HANDLE process_;
    size_t size_;
    void* address_;
};

class Program {
public:
    bool Start(const std::string& workFolder) {
        std::string exe = ModuleFolder() + "Brennik.exe";
        std::string command = "\"" + exe + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        return CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, workFolder.c_str(),
                              &si, &info_) != 0;
    }
    HWND WaitForWindow(const char* cls, const char* title, DWORD timeout = 30000) {
        HWND found = nullptr;
        DWORD start = GetTickCount();
        while (!(found = FindWindowA(cls, title)) && GetTickCount() - start < timeout)
            Sleep(50);
        return found;
    }
    DWORD WaitForExit(DWORD timeout = 20000) {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, timeout) == WAIT_OBJECT_0)
            GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    ~Program() {
        if (info_.hProcess) {
            if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0)
                TerminateProcess(info_.hProcess, 1);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }
    HANDLE process() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// Wine reports no CPU times for other processes, so they are read from the
// Linux process that runs the program: Z:\proc\<pid>\stat, found by its
// command line. Returns -1 when no such process is found.
static double LinuxCpuSeconds(const char* exeName) {
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
            seconds = (double)(utime + stime) / 100.0;  // clock ticks of 1/100 s
    } while (seconds < 0 && FindNextFileA(search, &found));
    FindClose(search);
    return seconds;
}

static std::string RemoteItemText(HANDLE process, HWND list, int item, int column) {
    RemoteBuffer buffer(process, sizeof(LVITEMA) + 260);
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = (char*)buffer.address() + sizeof(LVITEMA);
    lv.cchTextMax = 260;
    buffer.Write(&lv, sizeof lv);
    SendMessageA(list, LVM_GETITEMTEXTA, item, (LPARAM)buffer.address());
    return buffer.ReadText(sizeof(LVITEMA));
}

static std::string RemoteStatusText(HANDLE process, HWND status, int part) {
    RemoteBuffer buffer(process, 260);
    SendMessageA(status, SB_GETTEXTA, part, (LPARAM)buffer.address());
    return buffer.ReadText();
}

// Saves the whole screen as a 24-bit BMP; the test driver turns it into PNG.
static bool SaveScreen(const std::string& path) {
    HDC screen = GetDC(nullptr);
    int w = GetDeviceCaps(screen, HORZRES), h = GetDeviceCaps(screen, VERTRES);
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
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
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

static std::string ShotPath(const char* name) {
    std::string folder = ModuleFolder() + "..\\e2e\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + name + (sizeof(void*) == 8 ? "-win64.bmp" : "-win32.bmp");
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(work_ / "Brenn.dat", ReadBytes("Brenn.dat"));
        CreateDirectoryA((work_ / "left").c_str(), nullptr);
        CreateDirectoryA((work_ / "right").c_str(), nullptr);
        MakeFileOfSize(work_ / "left\\readme.txt", 2048);
        MakeFileOfSize(work_ / "left\\表示.txt", 10);
        CreateDirectoryA((work_ / "left\\新しいフォルダ").c_str(), nullptr);
        MakeFileOfSize(work_ / "right\\ｱｲｳ.bmp", 5000);
        MakeFileOfSize(work_ / "right\\photo.jpg", 70000);
        settings_.Write("[Filer]\r\nL_dir=" + (work_ / "left\\") + "\r\nR_dir=" + (work_ / "right\\") + "\r\n");
    }
    SettingsFileGuard settings_;
    TempFolder work_;
};

TEST_F(EndToEnd, ShowsBothFoldersIdlesQuietlyAndSavesOnClose) {
    Program program;
    ASSERT_TRUE(program.Start(work_.path()));
    HWND main = program.WaitForWindow(kClass, nullptr);
    ASSERT_NE(nullptr, main) << "no main window";
    char title[64] = "";
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(kClass, title);

    // The window is found while it still builds its children; the status bar comes last.
    DWORD start = GetTickCount();
    while (!GetDlgItem(main, 102) && GetTickCount() - start < 20000)
        Sleep(50);
    Sleep(300);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101), status = GetDlgItem(main, 102);
    ASSERT_TRUE(left && right && status);
    EXPECT_EQ(3, (int)SendMessageA(left, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(2, (int)SendMessageA(right, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("Object Count : 3", RemoteStatusText(program.process(), status, 0));
    EXPECT_EQ("Object Count : 2", RemoteStatusText(program.process(), status, 1));
    std::vector<std::string> names;
    for (int i = 0; i < 3; i++)
        names.push_back(RemoteItemText(program.process(), left, i, 0));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "表示.txt"));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "新しいフォルダ"));
    int readme = 0;
    while (readme < 3 && names[readme] != "readme.txt")
        readme++;
    ASSERT_LT(readme, 3);
    EXPECT_EQ("2KB", RemoteItemText(program.process(), left, readme, 1));
    char pathText[MAX_PATH] = "";
    SendMessageA(GetDlgItem(main, 103), WM_GETTEXT, sizeof pathText, (LPARAM)pathText);
    EXPECT_EQ(work_ / "left\\", std::string(pathText));

    // Idle: the loop must wait for input, not spin a core.
    Sleep(500);
    double before = LinuxCpuSeconds("Brennik.exe");
    ASSERT_GE(before, 0) << "the program's Linux process was not found";
    start = GetTickCount();
    Sleep(10000);
    double used = LinuxCpuSeconds("Brennik.exe") - before;
    double percent = 100.0 * used / ((GetTickCount() - start) / 1000.0);
    printf("idle CPU of the running program over 10 s: %.2f%% of one core\n", percent);
    RecordProperty("idle_cpu_percent", (int)(percent * 100));
    EXPECT_LT(percent, 2.0);

    EXPECT_TRUE(SaveScreen(ShotPath("main-window")));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
    std::string text = settings_.Read();
    size_t l = text.find("L_dir=" + (work_ / "left\\")), r = text.find("R_dir=" + (work_ / "right\\"));
    EXPECT_NE(std::string::npos, l) << text;
    EXPECT_NE(std::string::npos, r) << text;
}

TEST_F(EndToEnd, MissingDataFileIsReportedBeforeTheWindow) {
    DeleteFileA((work_ / "Brenn.dat").c_str());
    Program program;
    ASSERT_TRUE(program.Start(work_.path()));
    HWND box = program.WaitForWindow(nullptr, "READ DATA FILE");
    ASSERT_NE(nullptr, box) << "no open-error box";
    EXPECT_EQ(nullptr, FindWindowA(kClass, nullptr)) << "the box comes before the main window";
    char text[64] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the static text of a message box
    EXPECT_STREQ("Brenn.dat  Open Error", text);
    Sleep(300);
    SaveScreen(ShotPath("data-file-error"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND main = program.WaitForWindow(kClass, nullptr);
    ASSERT_NE(nullptr, main) << "start-up goes on after the box";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
}
