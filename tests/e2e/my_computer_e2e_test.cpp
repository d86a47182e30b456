// The My Computer view in the running program, reached through the menu and
// left by a double-click on a drive, all by real mouse input.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace {

TEST(MyComputer, MenuShowsTheDrivesAndADoubleClickEntersOne) {
    SettingsFileGuard settings;
    TempFolder work;
    WriteQuietDataFile(work.path());
    settings.Write("[Filer]\r\nL_dir=" + work.path() + "\r\nR_dir=" + work.path() + "\r\n");
    Program program;
    ASSERT_TRUE(program.Start(work.path()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100);

    // The menu by the keyboard: F10, right to "左側メニュー", open it, down
    // past five items and the separator to "My Computer", Enter.
    SetForegroundWindow(main);
    PressKey(VK_F10);
    PressKey(VK_RIGHT);
    PressKey(VK_DOWN);
    for (int i = 0; i < 5; i++)
        PressKey(VK_DOWN);
    PressKey(VK_RETURN);

    int drive = -1;
    for (int wait = 0; wait < 100 && drive < 0; wait++, Sleep(50)) {
        int count = (int)SendMessageA(left, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < count; i++) {
            std::string name = RemoteItemText(program.process(), left, i, 0);
            if (name.size() >= 4 && name.substr(name.size() - 4) == "(C:)")
                drive = i;
        }
    }
    ASSERT_GE(drive, 0) << "no (C:) in the view";
    Sleep(300);
    EXPECT_TRUE(SaveScreen(ShotPath("my-computer"), main));

    POINT at = ItemCentre(program.process(), left, drive);
    SetCursorPos(at.x, at.y);
    Sleep(50);
    INPUT click[4] = {};
    for (int i = 0; i < 4; i++) {
        click[i].type = INPUT_MOUSE;
        click[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(4, click, sizeof(INPUT));
    std::string box;
    for (int wait = 0; wait < 100 && box != "C:\\"; wait++, Sleep(50))
        box = RemoteWindowText(GetDlgItem(main, 103));
    EXPECT_EQ("C:\\", box);

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
}

} // namespace
