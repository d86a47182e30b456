// Drag and drop and the clipboard in the running program, by real input.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace {

class Exchange : public TwoFolderProgramTest {
protected:
    void SetUp() override {
        TwoFolderProgramTest::SetUp();
        WriteBytes(work_ / "left\\dragged.txt", "dragged");
        WriteBytes(work_ / "left\\stays.txt", "stays");
    }
};

static void Mouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

TEST_F(Exchange, DragFromTheLeftPaneDropsIntoTheRightFolder) {
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101);
    int item = Find(left, "dragged.txt");
    ASSERT_GE(item, 0);
    POINT from = ItemCentre(program_.process(), left, item);
    ClickAt(from.x, from.y);
    Sleep(GetDoubleClickTime() + 100);  // the press below must not make a double click
    RECT target;
    GetWindowRect(right, &target);
    POINT to = {(target.left + target.right) / 2, (target.top + target.bottom) / 2};

    // Press, move in small steps past the drag threshold and across, release.
    SetCursorPos(from.x, from.y);
    Sleep(100);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    for (int step = 1; step <= 20; step++) {
        SetCursorPos(from.x + (to.x - from.x) * step / 20, from.y + (to.y - from.y) * step / 20);
        Mouse(MOUSEEVENTF_MOVE);
        Sleep(40);
    }
    Sleep(200);
    Mouse(MOUSEEVENTF_LEFTUP);

    std::string copied;
    for (int wait = 0; wait < 100 && copied.empty(); wait++, Sleep(50))
        copied = ReadBytes(work_ / "right\\dragged.txt");
    EXPECT_EQ("dragged", copied);
    EXPECT_FALSE(Exists(work_ / "right\\stays.txt")) << "only the selection is dragged";
    EXPECT_TRUE(Exists(work_ / "left\\dragged.txt")) << "a drag copies, never moves";
    for (int wait = 0; wait < 40 && Find(right, "dragged.txt") < 0; wait++)
        Sleep(50);
    EXPECT_GE(Find(right, "dragged.txt"), 0) << "the right pane is relisted";
    Sleep(200);
    EXPECT_TRUE(SaveScreen(ShotPath("after-drop")));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

}  // namespace
