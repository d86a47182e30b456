// The keys of everyday use, pressed through the X server as a user presses
// them, each checked by what it did on disk or on screen.
#include "tests/e2e/e2e_support.h"

#include <shellapi.h>

namespace {

class Keys : public TwoFolderProgramTest {
  protected:
    void SetUp() override {
        TwoFolderProgramTest::SetUp();
        CreateDirectoryA((work_ / "left\\sub").c_str(), nullptr);
        WriteBytes(work_ / "left\\sub\\in.txt", "in");
        WriteBytes(work_ / "left\\a.txt", "a");
        WriteBytes(work_ / "left\\b.txt", "b");
        WriteBytes(work_ / "right\\c.txt", "c");
    }

    bool Press(const char* keys) { return Xdotool(std::string("key ") + keys); }
    // Texts without quotes of either kind.
    bool Type(const char* text) { return Xdotool(std::string("type '") + text + "'"); }
    bool ClickOn(POINT at) {
        return Xdotool("mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1");
    }
    POINT CentreOfWindow(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    int Selected(HWND list) { return (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0); }

    // The one file the clipboard's file list names, or "".
    static std::string ClipboardFile() {
        std::string name;
        if (!OpenClipboard(nullptr))
            return name;
        if (HDROP drop = (HDROP)GetClipboardData(CF_HDROP)) {
            char path[MAX_PATH] = "";
            if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 1 &&
                DragQueryFileA(drop, 0, path, sizeof path))
                name = path;
        }
        CloseClipboard();
        return name;
    }
};

TEST_F(Keys, EachKeyDoesItsCommandOnTheActivePane) {
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101), status = GetDlgItem(main, 102);
    HWND leftPath = GetDlgItem(main, 103), rightPath = GetDlgItem(main, 104);
    ASSERT_TRUE(left && right && leftPath && rightPath);
    RECT leftRect;
    GetWindowRect(left, &leftRect);
    ASSERT_TRUE(ClickOn({(leftRect.left + leftRect.right) / 2, leftRect.bottom - 40})) << "xdotool runs";

    // Ctrl+A selects the whole pane, F5 copies it to the other one.
    Press("ctrl+a");
    EXPECT_TRUE(WaitFor([&] { return Selected(left) == 3; })) << Selected(left);
    Press("F5");
    EXPECT_TRUE(WaitFor([&] {
        return Exists(work_ / "right\\a.txt") && Exists(work_ / "right\\b.txt") &&
               Exists(work_ / "right\\sub\\in.txt");
    }));
    // The job's listing of the right pane would end the rename below.
    EXPECT_TRUE(WaitFor([&] { return RemoteStatusText(program_.process(), status, 0) == "Copy End"; }));

    // Tab and Shift+Tab hand the keyboard to the other pane, whichever pane
    // the copy's listing made active.
    Press("Tab");
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == right; }));
    Press("shift+Tab");
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == left; }));
    Press("Tab");
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == right; }));

    // F2 renames the focused item in place; while it is open F7 makes
    // nothing; the list has the keyboard again after.
    Press("Home");
    Press("F2");
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(right, LVM_GETEDITCONTROL, 0, 0) != 0; }));
    Press("F7");
    Type("moved");
    Press("Return");
    EXPECT_TRUE(
        WaitFor([&] { return Exists(work_ / "right\\moved\\in.txt") && !Exists(work_ / "right\\sub"); }));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == right; }));
    EXPECT_FALSE(Exists(work_ / "right\\新しいフォルダ")) << "F7 acted during the rename";

    // Enter enters the focused folder, Backspace goes back up, F7 makes a folder.
    Press("Home");
    Press("Return");
    EXPECT_TRUE(WaitFor([&] { return RemoteWindowText(rightPath) == work_ / "right\\moved\\"; }))
        << RemoteWindowText(rightPath);
    Press("BackSpace");
    EXPECT_TRUE(WaitFor([&] { return RemoteWindowText(rightPath) == work_ / "right\\"; }))
        << RemoteWindowText(rightPath);
    Press("F7");
    EXPECT_TRUE(WaitFor([&] { return Exists(work_ / "right\\新しいフォルダ"); }));

    // F6 moves the selection to the other pane.
    Press("End");
    Press("F6");
    EXPECT_TRUE(WaitFor([&] { return Exists(work_ / "left\\c.txt") && !Exists(work_ / "right\\c.txt"); }));

    // F8 asks, then sends the selection to the recycle bin.
    int row = Find(right, "a.txt");
    ASSERT_GE(row, 0);
    ClickOn(ItemCentre(program_.process(), right, row));
    Press("F8");
    HWND question = program_.WaitForWindow("#32770", "ﾀﾞｲｱﾛｸﾞ", 10000);
    ASSERT_NE(nullptr, question);
    EXPECT_EQ("選択ファイルをゴミ箱へ移動しますか", RemoteWindowText(GetDlgItem(question, 171)));
    Press("Return");
    EXPECT_TRUE(WaitFor([&] { return !Exists(work_ / "right\\a.txt") && !IsWindow(question); }));
    // The list that had the keyboard before the question has it again.
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == right; }));

    // Ctrl+C puts the left selection on the clipboard, Ctrl+V pastes it on the right.
    Press("Tab");
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == left; }));
    Press("Home");
    Press("Down");
    Press("ctrl+c");
    EXPECT_TRUE(WaitFor([&] { return ClipboardFile() == work_ / "left\\a.txt"; })) << ClipboardFile();
    Press("Tab");
    Press("ctrl+v");
    EXPECT_TRUE(
        WaitFor([&] { return ReadBytes(work_ / "right\\a.txt") == "a" && Find(right, "a.txt") >= 0; }));

    // The pane follows a file made meanwhile and leaves the paste's end text;
    // Ctrl+R relists the active pane and shows the counts.
    WriteBytes(work_ / "right\\fresh.txt", "f");
    EXPECT_TRUE(WaitFor([&] { return Find(right, "fresh.txt") >= 0; }));
    EXPECT_EQ("Copy End", RemoteStatusText(program_.process(), status, 0));
    Press("ctrl+r");
    EXPECT_TRUE(WaitFor([&] {
        return RemoteStatusText(program_.process(), status, 0).rfind("Object Count", 0) == 0;
    })) << RemoteStatusText(program_.process(), status, 0);

    // In a path box the keys type: F7 makes nothing in either pane. Enter
    // takes the typed path, Esc puts the pane's path back; both give the list
    // the keyboard.
    ASSERT_TRUE(RemoveDirectoryA((work_ / "right\\新しいフォルダ").c_str()));
    ClickOn(CentreOfWindow(leftPath));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == leftPath; }));
    Press("End");
    Type("sub\\");
    Press("F7");
    Press("Return");
    EXPECT_TRUE(WaitFor([&] { return Find(left, "in.txt") >= 0 && FocusOf(main) == left; }));
    EXPECT_EQ(work_ / "left\\sub\\", RemoteWindowText(leftPath));
    EXPECT_FALSE(Exists(work_ / "left\\新しいフォルダ") || Exists(work_ / "right\\新しいフォルダ"))
        << "F7 acted while the path was typed";
    ClickOn(CentreOfWindow(leftPath));
    Press("End");
    Type("zzz");
    EXPECT_TRUE(WaitFor([&] { return RemoteWindowText(leftPath) == work_ / "left\\sub\\zzz"; }));
    Press("Escape");
    EXPECT_TRUE(WaitFor([&] {
        return RemoteWindowText(leftPath) == work_ / "left\\sub\\" && FocusOf(main) == left;
    })) << RemoteWindowText(leftPath);
    EXPECT_EQ(1, (int)SendMessageA(left, LVM_GETITEMCOUNT, 0, 0));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

} // namespace
