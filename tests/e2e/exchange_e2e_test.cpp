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

// The button pressed at a point, as a drag starts.
static void Press(POINT at) {
    SetCursorPos(at.x, at.y);
    Sleep(100);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
}

// The pointer moved in small steps, with pauses the list view's drag start needs.
static void MoveInSteps(POINT from, POINT to, int steps, DWORD pause) {
    for (int step = 1; step <= steps; step++) {
        SetCursorPos(from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps);
        Mouse(MOUSEEVENTF_MOVE);
        Sleep(pause);
    }
}

static POINT CentreOfWindow(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
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
    Sleep(GetDoubleClickTime() + 100); // the press below must not make a double click
    // Press, move in small steps past the drag threshold and across, release.
    Press(from);
    MoveInSteps(from, CentreOfWindow(right), 20, 40);
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
    EXPECT_TRUE(SaveScreen(ShotPath("after-drop"), main));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

// Selects every row of a list of the program.
static void SelectAll(HANDLE process, HWND list) {
    LVITEMA all = {};
    all.stateMask = all.state = LVIS_SELECTED;
    RemoteBuffer buffer(process, sizeof all);
    buffer.Write(&all, sizeof all);
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)buffer.address());
}

// A box inside the drag loop would take the mouse button the loop waits for,
// and its OK would end the drag as a drop. The cap of 50 is said once the
// drag has ended: a cancelled drag copies nothing, a drop on the program's
// own right pane the first 50.
TEST_F(Exchange, ADragPastTheCapSaysSoOnlyWhenItHasEnded) {
    for (int i = 0; i < 60; i++)
        WriteBytes(work_ / ("left\\m" + std::to_string(100 + i) + ".txt"), "m");
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101);
    int item = Find(left, "m100.txt");
    ASSERT_GE(item, 0);
    POINT to = CentreOfWindow(right);

    for (bool drop : {false, true}) {
        SCOPED_TRACE(drop ? "dropped on the right pane" : "cancelled with Esc");
        SelectAll(program_.process(), left);
        POINT from = ItemCentre(program_.process(), left, item);
        Press(from);
        POINT started = {from.x + 18, from.y + 12};
        MoveInSteps(from, started, 6, 60);
        // Under Wine the drag loop has a window of its own: wait for it, so
        // what follows reaches the loop and not the moments before it.
        EXPECT_TRUE(WaitFor([] { return FindWindowA("WineDragDropTracker32", nullptr) != nullptr; }, 5000));
        Sleep(300);
        HWND during = FindWindowA("#32770", "Drag&Drop");
        EXPECT_EQ(nullptr, during) << "a box while the button is held";
        if (during)
            PostMessageA(during, WM_COMMAND, IDOK, 0);
        if (drop) {
            MoveInSteps(started, to, 10, 40);
            Sleep(200);
        } else {
            PressKey(VK_ESCAPE);
        }
        Mouse(MOUSEEVENTF_LEFTUP);

        HWND after = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (after = FindWindowA("#32770", "Drag&Drop")) != nullptr; }, 5000))
            << "the cap is said after the drag";
        std::string said;
        for (HWND child = GetWindow(after, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            said += RemoteWindowText(child) + "|";
        EXPECT_NE(std::string::npos, said.find("(最大 50 個)")) << said;
        PostMessageA(after, WM_COMMAND, IDOK, 0);
        if (drop) {
            // The first 50 in list order: dragged.txt, then m100 to m148.
            EXPECT_TRUE(WaitFor([&] { return Exists(work_ / "right\\m148.txt"); }));
            EXPECT_FALSE(Exists(work_ / "right\\m149.txt")) << "past the cap";
        } else {
            Sleep(500);
            EXPECT_FALSE(Exists(work_ / "right\\m100.txt")) << "the cancelled drag copied";
        }
        Sleep(GetDoubleClickTime() + 100);
    }

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

} // namespace
