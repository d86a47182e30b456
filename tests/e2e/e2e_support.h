// Starting the built program and looking at it from another process.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/win/support/win_test_support.h"

extern const char kClass[];

// A "Brenn.dat" whose rules start nothing: a stray double-click in a test
// must never open a real program.
void WriteQuietDataFile(const std::string& folder);

// Memory in the program's process, for messages that carry pointers.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    void* address() const { return address_; }
    void Write(const void* data, size_t size);
    std::string ReadText(size_t offset = 0);
    void Read(void* data, size_t size);

  private:
    HANDLE process_;
    size_t size_;
    void* address_;
};

class Program {
  public:
    bool Start(const std::string& workFolder);
    // Another build of the program, such as the one of the release archive.
    bool StartProgram(const std::string& exe, const std::string& workFolder);
    HWND WaitForWindow(const char* cls, const char* title, DWORD timeout = 30000);
    // The main window once it has built all its children.
    HWND WaitForMainWindow();
    DWORD WaitForExit(DWORD timeout = 20000);
    ~Program();
    HANDLE process() const { return info_.hProcess; }

  private:
    PROCESS_INFORMATION info_ = {};
};

double LinuxCpuSeconds(const char* exeName);
std::string RemoteItemText(HANDLE process, HWND list, int item, int column);
// The name column's text as the list holds it, which is what it draws.
std::wstring RemoteItemTextW(HANDLE process, HWND list, int item);
std::string RemoteStatusText(HANDLE process, HWND status, int part);
std::string RemoteWindowText(HWND window);
// The part of the screen that shows the window (and a second one, such as
// its menu) with its frame; the whole screen when no window is named.
bool SaveScreen(const std::string& path, HWND window = nullptr, HWND alsoShown = nullptr);
std::string ShotPath(const char* name);
// Polls until done() holds or the time is up: what real input does shows a
// moment later, sooner or later as the machine is loaded, never at a fixed time.
template <typename Done> bool WaitFor(Done done, DWORD timeout = 10000) {
    for (DWORD start = GetTickCount(); !done(); Sleep(50))
        if (GetTickCount() - start > timeout)
            return false;
    return true;
}

// Real input, as the user gives it.
void ClickAt(int x, int y, bool right = false);
void PressKey(WORD key);
// A key held for a while, long enough for the program's idle poll to see it.
void HoldKey(WORD key, DWORD milliseconds);
void KeyDown(WORD key);
void KeyUp(WORD key);
// Input through the X server, as a user's keyboard and mouse give it: runs
// xdotool (a Linux program, which Wine starts directly) with these arguments,
// which a shell reads: quote what it must not take apart.
bool Xdotool(const std::string& arguments);
// The window of the program's UI thread that has the keyboard focus.
HWND FocusOf(HWND main);
// The centre of a list item's label, in screen coordinates.
POINT ItemCentre(HANDLE process, HWND list, int item);

// The program as a test starts it: over two fresh folders, "left" and "right"
// in work_, remembered as its panes' folders, with a data file that starts
// nothing.
class TwoFolderProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteQuietDataFile(work_.path());
        CreateDirectoryA((work_ / "left").c_str(), nullptr);
        CreateDirectoryA((work_ / "right").c_str(), nullptr);
        settings_.Write("[Filer]\r\nL_dir=" + (work_ / "left\\") + "\r\nR_dir=" + (work_ / "right\\") +
                        "\r\n");
    }
    // The row of a list of the program with this text, or -1.
    int Find(HWND list, const std::string& name) {
        int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < count; i++)
            if (RemoteItemText(program_.process(), list, i, 0) == name)
                return i;
        return -1;
    }

    SettingsFileGuard settings_;
    TempFolder work_;
    Program program_;
};
