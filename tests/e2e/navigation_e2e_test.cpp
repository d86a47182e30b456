// Drives the running program with real mouse and keyboard input: a header
// click sorts, a toolbar button goes up a folder, a right click opens the
// context menu.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace {

class Navigation : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteQuietDataFile(work_.path());
        CreateDirectoryA((work_ / "left").c_str(), nullptr);
        CreateDirectoryA((work_ / "left\\sub").c_str(), nullptr);
        CreateDirectoryA((work_ / "left\\sub\\adir").c_str(), nullptr);
        CreateDirectoryA((work_ / "left\\sub\\zdir").c_str(), nullptr);
        MakeFileOfSize(work_ / "left\\sub\\a.txt", 10);
        MakeFileOfSize(work_ / "left\\sub\\b.txt", 20);
        CreateDirectoryA((work_ / "right").c_str(), nullptr);
        settings_.Write("[Filer]\r\nL_dir=" + (work_ / "left\\sub\\") + "\r\nR_dir=" + (work_ / "right\\") +
                        "\r\n");
    }

    std::string Order(HWND list) {
        std::string order;
        int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < count; i++)
            order += RemoteItemText(program_.process(), list, i, 0) + " ";
        return order;
    }

    // The centre, in screen coordinates, of a rectangle that a control
    // reports in its own client coordinates into the program's memory.
    POINT CentreOf(HWND control, UINT message, WPARAM index) {
        RemoteBuffer buffer(program_.process(), sizeof(RECT));
        SendMessageA(control, message, index, (LPARAM)buffer.address());
        RECT rect = {};
        buffer.Read(&rect, sizeof rect);
        POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        MapWindowPoints(control, nullptr, &centre, 1);
        return centre;
    }

    SettingsFileGuard settings_;
    TempFolder work_;
    Program program_;
};

TEST_F(Navigation, HeaderClickToolbarButtonAndContextMenu) {
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), status = GetDlgItem(main, 102);
    ASSERT_TRUE(left && status);
    EXPECT_EQ("adir zdir a.txt b.txt ", Order(left)) << "listed by name, folders first";

    // A click on "名前" turns the name column round: files first, folders last.
    HWND header = (HWND)SendMessageA(left, LVM_GETHEADER, 0, 0);
    ASSERT_NE(nullptr, header);
    POINT name = CentreOf(header, HDM_GETITEMRECT, 0);
    ClickAt(name.x, name.y);
    EXPECT_TRUE(WaitFor([&] { return Order(left) == "b.txt a.txt zdir adir "; })) << Order(left);
    Sleep(GetDoubleClickTime() + 100); // two quick clicks would be a double click
    ClickAt(name.x, name.y);
    EXPECT_TRUE(WaitFor([&] { return Order(left) == "adir zdir a.txt b.txt "; })) << Order(left);

    // The second button of the toolbar is "left: parent folder".
    HWND host = FindWindowExA(main, nullptr, "EDIT", nullptr);
    ASSERT_NE(nullptr, host);
    HWND toolbar = GetDlgItem(host, 120);
    ASSERT_NE(nullptr, toolbar);
    POINT up = CentreOf(toolbar, TB_GETITEMRECT, 1);
    ClickAt(up.x, up.y);
    EXPECT_TRUE(WaitFor([&] { return Order(left) == "sub "; })) << Order(left);
    EXPECT_EQ(work_ / "left\\", RemoteWindowText(GetDlgItem(main, 103)));
    EXPECT_EQ("Object Count : 1", RemoteStatusText(program_.process(), status, 0));

    // A right click on the list opens the context menu; Esc closes it.
    RECT listRect;
    GetWindowRect(left, &listRect);
    ClickAt(listRect.left + 60, listRect.top + 60, true);
    HWND menu = nullptr;
    for (int i = 0; i < 100 && !(menu = FindWindowA("#32768", nullptr)); i++)
        Sleep(20);
    ASSERT_NE(nullptr, menu) << "no context menu";
    EXPECT_TRUE(IsWindowVisible(menu));
    Sleep(200);
    EXPECT_TRUE(SaveScreen(ShotPath("context-menu"), main, menu));
    PressKey(VK_ESCAPE);
    for (int i = 0; i < 100 && IsWindowVisible(menu); i++)
        Sleep(20);
    EXPECT_FALSE(IsWindowVisible(menu));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
    EXPECT_NE(std::string::npos, settings_.Read().find("L_dir=" + (work_ / "left\\"))) << settings_.Read();
}

} // namespace
