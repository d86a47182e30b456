#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "core/filer_core.h"
#include "fileops/worker_job.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

// Each test opens the program's main window on two temporary folders.
class MainWindowTest : public TwoPaneTest {
  protected:
    void PrepareFolders() override {
        MakeFileOfSize(left_ / "a.txt", 1);
        MakeFileOfSize(left_ / "b.txt", 2);
        CreateDirectoryA((left_ / "folder").c_str(), nullptr);
    }
    RECT ChildRect(HWND child) const {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, Main(), (POINT*)&r, 2);
        return r;
    }
    void ResizeClient(int width, int height) {
        SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    }
};

TEST_F(MainWindowTest, BuildsEveryControlAndCountsTheObjects) {
    EXPECT_EQ("Brennik by Ostrand Kelvo", WindowText(Main()));
    char cls[64];
    GetClassNameA(Main(), cls, sizeof cls);
    EXPECT_STREQ("Brennik by Ostrand Kelvo", cls);
    EXPECT_EQ(Main(), gMainWindow);
    EXPECT_EQ(Main(), gWorkerJob.owner);
    RECT outer;
    GetWindowRect(Main(), &outer);
    EXPECT_EQ(960, outer.right - outer.left);
    EXPECT_EQ(560, outer.bottom - outer.top);

    HWND status = GetDlgItem(Main(), IDC_STATUS);
    ASSERT_NE(nullptr, status);
    EXPECT_EQ(status, gCore->statusBar);
    EXPECT_EQ(gCore->panes[PANE_LEFT].list, GetDlgItem(Main(), IDC_LEFT_LIST));
    EXPECT_EQ(gCore->panes[PANE_RIGHT].list, GetDlgItem(Main(), IDC_RIGHT_LIST));
    EXPECT_EQ(gCore->panes[PANE_LEFT].pathBox, GetDlgItem(Main(), IDC_LEFT_PATH));
    EXPECT_EQ(gCore->panes[PANE_RIGHT].pathBox, GetDlgItem(Main(), IDC_RIGHT_PATH));
    EXPECT_EQ(3, ItemCount(gCore->panes[PANE_LEFT].list));
    EXPECT_EQ(0, ItemCount(gCore->panes[PANE_RIGHT].list));
    EXPECT_EQ("Object Count : 3", StatusText(status, 0));
    EXPECT_EQ("Object Count : 0", StatusText(status, 1));
    EXPECT_EQ(right_.path(), WindowText(gCore->panes[PANE_RIGHT].pathBox));

    HWND header = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_GETHEADER, 0, 0);
    ASSERT_EQ(4, (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    const char* titles[4] = {"名前", "サイズ", "ファイルの種類", "更新日付"};
    const int widths[4] = {160, 60, 120, 110};
    for (int i = 0; i < 4; i++) {
        char title[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        SendMessageA(gCore->panes[PANE_RIGHT].list, LVM_GETCOLUMNA, i, (LPARAM)&column);
        EXPECT_STREQ(titles[i], title);
        EXPECT_EQ(widths[i], column.cx);
    }
    // The listing's notifications already made a pane active, and its list has the keyboard.
    ASSERT_NE(nullptr, ActivePane());
    EXPECT_EQ(ActivePane()->list, GetFocus());
    // Shown, the window gives it to that list whoever had it before.
    SetFocus(Main());
    ShowMainWindow(Main(), SW_SHOWNORMAL);
    EXPECT_EQ(ActivePane()->list, GetFocus());
}

TEST_F(MainWindowTest, ResizeFollowsTheFixedRules) {
    struct Size {
        int w, h;
    } sizes[] = {{960, 500}, {801, 333}, {236, 120}};
    for (const Size& s : sizes) {
        SCOPED_TRACE(s.w);
        ResizeClient(s.w, s.h);
        int centre = s.w / 2, path = (s.w - 236) / 2, list = (s.w - 6) / 2;
        RECT host = ChildRect(GetToolbarHost());
        EXPECT_EQ(centre - 115, host.left);
        EXPECT_EQ(230, host.right - host.left);
        EXPECT_EQ(28, host.bottom - host.top);
        RECT lp = ChildRect(gCore->panes[PANE_LEFT].pathBox),
             rp = ChildRect(gCore->panes[PANE_RIGHT].pathBox);
        EXPECT_EQ(3, lp.left);
        EXPECT_EQ(path, lp.right - lp.left);
        EXPECT_EQ(centre + 115, rp.left);
        EXPECT_EQ(path, rp.right - rp.left);
        RECT ll = ChildRect(gCore->panes[PANE_LEFT].list), rl = ChildRect(gCore->panes[PANE_RIGHT].list);
        EXPECT_EQ(2, ll.left);
        EXPECT_EQ(30, ll.top);
        EXPECT_EQ(list, ll.right - ll.left);
        EXPECT_EQ(s.h - 50, ll.bottom - ll.top);
        EXPECT_EQ(centre, rl.left);
        EXPECT_EQ(list, rl.right - rl.left);
        int edges[2] = {};
        ASSERT_EQ(2, (int)SendMessageA(gCore->statusBar, SB_GETPARTS, 2, (LPARAM)edges));
        EXPECT_EQ(centre, edges[0]);
        EXPECT_EQ(-1, edges[1]);
    }
}

TEST_F(MainWindowTest, ToolbarHasTenButtonsWithTooltipsByCommand) {
    HWND toolbar = GetToolbar();
    ASSERT_NE(nullptr, toolbar);
    EXPECT_EQ(GetToolbarHost(), GetParent(toolbar));
    ASSERT_EQ(10, (int)SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 10; i++) {
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, (LPARAM)&button);
        EXPECT_EQ(CMD_LEFT_NEW_FOLDER + i, button.idCommand);
        EXPECT_EQ(i, button.iBitmap);
    }
    const char* expected[10] = {
        "左 新規フォルダの作成",   "左 親のフォルダに移動", "左 選択ファイルの削除",
        "左 選択ファイルのコピー", "左 フォルダごとコピー", "右 フォルダごとコピー",
        "右 選択ファイルのコピー", "右 選択ファイルの削除", "右 親のフォルダに移動",
        "右 新規フォルダの作成",
    };
    for (int id = 122; id <= 131; id++) {
        NMTTDISPINFOA request = {};
        request.hdr.hwndFrom = toolbar;
        request.hdr.idFrom = id;
        request.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(GetToolbarHost(), WM_NOTIFY, 0, (LPARAM)&request);
        ASSERT_NE(nullptr, request.lpszText);
        EXPECT_STREQ(expected[id - 122], request.lpszText);
        EXPECT_EQ(gInstance, request.hinst);
    }
    NMTTDISPINFOA other = {};
    other.hdr.idFrom = 140;
    other.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(GetToolbarHost(), WM_NOTIFY, 0, (LPARAM)&other);
    EXPECT_EQ(nullptr, other.lpszText);
}

TEST_F(MainWindowTest, ToolbarCommandsArePostedToTheMainWindow) {
    PumpMessages(20);
    SendMessageA(GetToolbarHost(), WM_COMMAND, CMD_LEFT_COPY_SELECTED, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, Main(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)CMD_LEFT_COPY_SELECTED, msg.wParam);
}

TEST_F(MainWindowTest, MenuBarHasTheFiveMenus) {
    HMENU menu = GetMenu(Main());
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(5, GetMenuItemCount(menu));
    const char* tops[5] = {"ファイル(&F)", "左側メニュー(&R)", "右側メニュー(&L)", "ツール(&T)",
                           "ヘルプ(&H)"};
    for (int i = 0; i < 5; i++) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(tops[i], text);
    }
    char text[64] = "";
    GetMenuStringA(menu, CMD_LEFT_PARENT, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("親フォルダに移動(&P) ", text); // with its trailing blank
    HMENU tools = GetSubMenu(menu, 3);
    EXPECT_EQ(10, GetMenuItemCount(tools));
    EXPECT_EQ(CMD_EDIT_WITH_PHOTOSHOP, (int)GetMenuItemID(tools, 9));
    HMENU help = GetSubMenu(menu, 4);
    ASSERT_EQ(2, GetMenuItemCount(help));
    EXPECT_EQ(CMD_ABOUT, (int)GetMenuItemID(help, 1));
}

TEST_F(MainWindowTest, ExitCommandClosesAndSavesTheFolders) {
    SendMessageA(Main(), WM_COMMAND, CMD_EXIT, 0);
    EXPECT_FALSE(IsWindow(Main()));
    std::string text = settings_.Read();
    EXPECT_NE(std::string::npos, text.find("L_dir=" + left_.path())) << text;
    EXPECT_NE(std::string::npos, text.find("R_dir=" + right_.path())) << text;
}

TEST_F(MainWindowTest, IdlePollCancelsOrDeletes) {
    BYTE saved[256], keys[256] = {};
    GetKeyboardState(saved);
    PumpMessages(20);
    gCore->cancelFlag = 0;
    keys[VK_DELETE] = 0x80;
    keys[VK_ESCAPE] = 0x80;
    SetKeyboardState(keys);
    PollKeyboard();
    MSG msg;
    EXPECT_EQ(1, gCore->cancelFlag);
    EXPECT_FALSE(PeekMessageA(&msg, Main(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "Esc wins over Delete";

    keys[VK_ESCAPE] = 0;
    SetKeyboardState(keys);
    gCore->editing = 1;
    PollKeyboard();
    EXPECT_FALSE(PeekMessageA(&msg, Main(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "editing guards Delete";
    gCore->editing = 0;
    PollKeyboard();
    ASSERT_TRUE(PeekMessageA(&msg, Main(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)CMD_DELETE, msg.wParam);
    EXPECT_EQ(0, msg.lParam);
    SetKeyboardState(saved);
    gCore->cancelFlag = 0;
}
