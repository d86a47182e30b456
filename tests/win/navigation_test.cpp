#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/delete_confirm.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "panes/folder_follow.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

class NavigationTest : public TwoPaneTest {
  protected:
    void PrepareFolders() override {
        CreateDirectoryA((left_ / "sub").c_str(), nullptr);
        CreateDirectoryA((left_ / "sub\\deeper").c_str(), nullptr);
        MakeFileOfSize(left_ / "old.txt", 5);
        MakeFileOfSize(left_ / "taken.txt", 6);
        MakeFileOfSize(right_ / "r.txt", 1);
    }
    LRESULT Command(int id, int code = 0) {
        return SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(id, code), 0);
    }
    void Select(HWND list, int item) {
        LVITEMA lv = {};
        lv.stateMask = LVIS_SELECTED;
        lv.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, item, (LPARAM)&lv);
    }
    std::string Status(int part) { return StatusText(gCore->statusBar, part); }
};

TEST_F(NavigationTest, ListingAPaneMakesItActive) {
    SendMessageA(gCore->panes[PANE_LEFT].list, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    SendMessageA(gCore->panes[PANE_LEFT].list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(&gCore->panes[PANE_LEFT], ActivePane());
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    EXPECT_EQ(&gCore->panes[PANE_RIGHT], ActivePane());
}

// A refresh of the folder keeps the selection, the focus and the first row
// shown on the entries still there; typing a name's first letters moves to it.
TEST_F(NavigationTest, RefreshKeepsWhatTheUserChoseAndTypingFindsAName) {
    HWND list = gCore->panes[PANE_LEFT].list;
    for (int i = 0; i < 200; i++)
        MakeFileOfSize(left_ / ("f" + std::to_string(100 + i) + ".txt"), 1);
    ListFolder(list, gCore->panes[PANE_LEFT].path);
    Select(list, FindItem(list, "taken.txt"));
    Select(list, FindItem(list, "old.txt"));
    ListView_SetItemState(list, FindItem(list, "taken.txt"), LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(list, LVM_ENSUREVISIBLE, FindItem(list, "f150.txt"), FALSE);
    std::string top = ItemText(list, ListView_GetTopIndex(list), 0);
    ASSERT_NE("sub", top);
    DeleteFileA((left_ / "old.txt").c_str());
    MakeFileOfSize(left_ / "a-new.txt", 1);
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    Command(CMD_REFRESH);
    EXPECT_EQ(203, ItemCount(list));
    EXPECT_EQ(1, ListView_GetSelectedCount(list));
    EXPECT_EQ("taken.txt", ItemText(list, ListView_GetNextItem(list, -1, LVNI_SELECTED), 0));
    EXPECT_EQ("taken.txt", ItemText(list, ListView_GetNextItem(list, -1, LVNI_FOCUSED), 0));
    EXPECT_EQ(top, ItemText(list, ListView_GetTopIndex(list), 0));

    SetFocus(list);
    SendMessageW(list, WM_CHAR, L'F', 1);
    EXPECT_EQ("f100.txt", ItemText(list, ListView_GetNextItem(list, -1, LVNI_FOCUSED), 0));
}

// A pane follows what other programs do to its folder and keeps what the
// user chose; nothing moves under an open rename; a folder that goes leaves
// the pane in the nearest one above, said in the status bar.
TEST_F(NavigationTest, APaneFollowsItsFolderOnDisk) {
    HWND list = gCore->panes[PANE_LEFT].list;
    auto follows = [&](const std::vector<std::string>& want) {
        return PumpUntil([&] { return SortedItemNames(list) == want; }, 1000);
    };
    MakeFileOfSize(left_ / "before.txt", 1);
    MakeFileOfSize(left_ / "grows.txt", 1);
    ASSERT_TRUE(follows({"before.txt", "grows.txt", "old.txt", "sub", "taken.txt"}));
    Select(list, FindItem(list, "taken.txt"));
    Select(list, FindItem(list, "old.txt"));
    ListView_SetItemState(list, FindItem(list, "taken.txt"), LVIS_FOCUSED, LVIS_FOCUSED);
    MakePaneActive(&gCore->panes[PANE_RIGHT]);
    MakeFileOfSize(left_ / "new.txt", 1);
    DeleteFileA((left_ / "old.txt").c_str());
    MoveFileA((left_ / "before.txt").c_str(), (left_ / "after.txt").c_str());
    MakeFileOfSize(left_ / "grows.txt", 3000);
    EXPECT_TRUE(follows({"after.txt", "grows.txt", "new.txt", "sub", "taken.txt"}));
    EXPECT_TRUE(PumpUntil([&] { return ItemText(list, FindItem(list, "grows.txt"), 1) == "3KB"; }, 1000));
    EXPECT_EQ(1, ListView_GetSelectedCount(list));
    EXPECT_EQ("taken.txt", ItemText(list, ListView_GetNextItem(list, -1, LVNI_SELECTED), 0));
    EXPECT_EQ("taken.txt", ItemText(list, ListView_GetNextItem(list, -1, LVNI_FOCUSED), 0));
    EXPECT_EQ(&gCore->panes[PANE_RIGHT], ActivePane());
    EXPECT_EQ("Object Count : 5", Status(0));

    SetFocus(list);
    ASSERT_NE(nullptr, (HWND)SendMessageA(list, LVM_EDITLABELA, FindItem(list, "taken.txt"), 0));
    MakeFileOfSize(left_ / "late.txt", 1);
    PumpMessages(800);
    EXPECT_EQ(-1, FindItem(list, "late.txt"));
    SendMessageA(list, LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(follows({"after.txt", "grows.txt", "late.txt", "new.txt", "sub", "taken.txt"}));

    char* path = gCore->panes[PANE_LEFT].path;
    strcpy(path, (left_ / "sub\\deeper\\").c_str());
    ListFolder(list, path);
    // The folder last listed is the current one, which holds it (as another
    // program's current folder would): the right one is current instead.
    SetCurrentDirectoryA(right_.path().c_str());
    RemoveDirectoryA((left_ / "sub\\deeper").c_str());
    EXPECT_TRUE(PumpUntil([&] { return left_ / "sub\\" == path; }, 3000));
    EXPECT_EQ(left_ / "sub\\", WindowText(gCore->panes[PANE_LEFT].pathBox));
    EXPECT_EQ("フォルダがなくなりました: " + left_ / "sub\\deeper\\", Status(0));
    SetCurrentDirectoryA(right_.path().c_str());
    MoveFileA((left_ / "sub").c_str(), (left_ / "moved").c_str());
    EXPECT_TRUE(PumpUntil([&] { return left_ / "" == path; }, 3000));
    EXPECT_EQ(-1, FindItem(list, "sub"));
}

TEST_F(NavigationTest, ParentFolderAndMyComputerCommands) {
    strcpy(gCore->panes[PANE_LEFT].path, (left_ / "sub\\deeper\\").c_str());
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    Command(CMD_LEFT_PARENT);
    EXPECT_EQ(left_ / "sub\\", gCore->panes[PANE_LEFT].path);
    EXPECT_EQ(left_ / "sub\\", WindowText(gCore->panes[PANE_LEFT].pathBox));
    EXPECT_EQ("Object Count : 1", Status(0));

    Command(CMD_RIGHT_MY_COMPUTER);
    EXPECT_STREQ("", gCore->panes[PANE_RIGHT].path);
    EXPECT_EQ(right_.path(), WindowText(gCore->panes[PANE_RIGHT].pathBox)) << "the box keeps its text";
    EXPECT_EQ("Object Count : 1", Status(1)) << "the counts stay";
    Command(CMD_RIGHT_PARENT);
    EXPECT_STREQ("", gCore->panes[PANE_RIGHT].path) << "the parent of My Computer is My Computer";
    EXPECT_TRUE(prompts_.calls().empty());
}

TEST_F(NavigationTest, PathBoxCommitsWhenItLosesTheFocus) {
    HWND box = gCore->panes[PANE_LEFT].pathBox;
    // Typed into the box, then the keyboard moved to the list, as a click does.
    auto type = [&](const std::string& text) {
        SetFocus(box);
        SetWindowTextA(box, text.c_str());
        SetFocus(gCore->panes[PANE_LEFT].list);
    };
    SetFocus(box);
    EXPECT_EQ(1, gCore->editing);
    type(left_ / "sub\\deeper\\..\\deeper");
    EXPECT_EQ(0, gCore->editing);
    EXPECT_EQ(left_ / "sub\\deeper\\", gCore->panes[PANE_LEFT].path)
        << "normalised, with its final separator";
    EXPECT_EQ(left_ / "sub\\deeper\\", WindowText(box));

    // A relative text is taken from the folder the listing made current.
    type("..");
    EXPECT_EQ(left_ / "sub\\", gCore->panes[PANE_LEFT].path);

    // Another window that takes the keyboard (a job's box) takes no half-typed path.
    HWND other =
        CreateWindowA("EDIT", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    SetFocus(box);
    SetWindowTextA(box, (left_ / "su").c_str());
    SetFocus(other);
    EXPECT_EQ(0, gCore->editing);
    EXPECT_EQ(left_ / "sub\\", gCore->panes[PANE_LEFT].path);
    EXPECT_TRUE(prompts_.calls().empty());
    DestroyWindow(other);

    // "café" is "cafe" to the code page: the box takes the folder it shows, not its twin.
    const std::wstring acute = Widen(left_.path()) + L"caf\xe9";
    CreateDirectoryW(acute.c_str(), nullptr);
    CreateDirectoryA((left_ / "cafe").c_str(), nullptr);
    WriteBytesW(acute + L"\\in-acute.txt", "a");
    SetFocus(box);
    SetWindowTextW(box, (acute + L"\\").c_str());
    SetFocus(gCore->panes[PANE_LEFT].list);
    EXPECT_GE(FindItem(gCore->panes[PANE_LEFT].list, "in-acute.txt"), 0) << gCore->panes[PANE_LEFT].path;
    EXPECT_TRUE(prompts_.calls().empty());

    type(left_ / "missing");
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CurrentDirectry Error", prompts_.calls()[0].caption);
    EXPECT_STREQ("c:\\", gCore->panes[PANE_LEFT].path);
    EXPECT_EQ("c:\\", WindowText(box));

    type("");
    EXPECT_STREQ("", gCore->panes[PANE_LEFT].path) << "an empty box is My Computer";
    EXPECT_EQ(0, Command(IDC_LEFT_PATH, EN_CHANGE));
}

TEST_F(NavigationTest, RenameInPlace) {
    // The rows checked by their places: the left pane doesn't follow the
    // renames, as during a job that removes entries elsewhere.
    FollowDuringJob(1, 1 << PANE_RIGHT);
    SetFocus(gCore->panes[PANE_LEFT].list);
    int item = FindItem(gCore->panes[PANE_LEFT].list, "old.txt");
    ASSERT_GE(item, 0);
    HWND edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(1, gCore->editing);
    SetWindowTextA(edit, "新しい名前.txt");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_EQ(0, gCore->editing);
    EXPECT_TRUE(Exists(left_ / "新しい名前.txt"));
    EXPECT_FALSE(Exists(left_ / "old.txt"));
    EXPECT_EQ("新しい名前.txt", ItemText(gCore->panes[PANE_LEFT].list, item, 0));

    // To a name that exists: fails quietly, nothing changes.
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "taken.txt");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_EQ("新しい名前.txt", ItemText(gCore->panes[PANE_LEFT].list, item, 0));
    EXPECT_EQ(std::string(5, '\0'), ReadBytes(left_ / "新しい名前.txt"));
    EXPECT_EQ(6u, ReadBytes(left_ / "taken.txt").size());

    // A name that would move the file elsewhere is refused.
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "sub\\moved.txt");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_FALSE(Exists(left_ / "sub\\moved.txt"));
    EXPECT_TRUE(Exists(left_ / "新しい名前.txt"));

    // Final dots and blanks are dropped, as the platform drops them: the row
    // shows the name the file got, and a later command on it reaches it.
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "trimmed.txt. ");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_TRUE(Exists(left_ / "trimmed.txt"));
    EXPECT_EQ("trimmed.txt", ItemText(gCore->panes[PANE_LEFT].list, item, 0));
    // A change of case alone is carried out, and the row shows the disk's name.
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "Trimmed.TXT");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    std::vector<std::wstring> names = FolderEntriesW(left_.path());
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"Trimmed.TXT"));
    EXPECT_EQ("Trimmed.TXT", ItemText(gCore->panes[PANE_LEFT].list, item, 0));
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "新しい名前.txt");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);

    // Esc cancels, whatever the box holds.
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "cancelled.txt");
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(20);
    EXPECT_FALSE(Exists(left_ / "cancelled.txt"));
    EXPECT_EQ(0, gCore->editing);

    // A relisting while the edit is open cancels it.
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "relisted.txt");
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    PumpMessages(20);
    EXPECT_FALSE(Exists(left_ / "relisted.txt"));
    EXPECT_EQ(0, gCore->editing);

    // A sort while the edit is open: the renamed row is the one edited, wherever it went.
    item = FindItem(gCore->panes[PANE_LEFT].list, "新しい名前.txt");
    edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    SetWindowTextA(edit, "sorted.txt");
    SortByColumn(gCore->panes[PANE_LEFT].list, 0); // descending: the edited row goes to the top
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_TRUE(Exists(left_ / "sorted.txt"));
    EXPECT_EQ(0, FindItem(gCore->panes[PANE_LEFT].list, "sorted.txt"));
    EXPECT_EQ(-1, FindItem(gCore->panes[PANE_LEFT].list, "新しい名前.txt"));
    EXPECT_GE(FindItem(gCore->panes[PANE_LEFT].list, "sub"), 0);
    EXPECT_TRUE(prompts_.calls().empty());
}

TEST_F(NavigationTest, NewFolderRefreshAboutAndUnknownIds) {
    Command(CMD_LEFT_NEW_FOLDER);
    EXPECT_TRUE(Exists(left_ / "新しいフォルダ"));
    EXPECT_GE(FindItem(gCore->panes[PANE_LEFT].list, "新しいフォルダ"), 0);
    EXPECT_EQ("Object Count : 3", Status(0)) << "new folder leaves the counts";
    Command(CMD_LEFT_NEW_FOLDER); // exists already: nothing visible
    EXPECT_TRUE(prompts_.calls().empty());

    // Refresh relists the active pane and recounts both.
    MakeFileOfSize(right_ / "new.txt", 1);
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    Command(CMD_REFRESH);
    EXPECT_EQ("Object Count : 4", Status(0));
    EXPECT_EQ("Object Count : 2", Status(1));

    // My Computer has no folder for a new one.
    Command(CMD_RIGHT_MY_COMPUTER);
    SetCurrentDirectoryA(right_.path().c_str());
    Command(CMD_RIGHT_NEW_FOLDER);
    EXPECT_FALSE(Exists(right_ / "新しいフォルダ"));

    Command(CMD_ABOUT);
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ(Main(), prompts_.calls()[0].owner);
    EXPECT_NE(std::string::npos, prompts_.calls()[0].text.find("Brennik by Ostrand Kelvo"));
    EXPECT_NE(std::string::npos, prompts_.calls()[0].text.find("Version "));

    EXPECT_EQ(0, Command(9999));
    EXPECT_EQ(1u, prompts_.calls().size());
}

TEST_F(NavigationTest, DeleteCommandsAskFirstAndOnlyWithASelection) {
    CommandAndWait(CMD_LEFT_DELETE);
    EXPECT_TRUE(prompts_.calls().empty()) << "nothing selected: no question";
    Select(gCore->panes[PANE_LEFT].list, FindItem(gCore->panes[PANE_LEFT].list, "old.txt"));
    Select(gCore->panes[PANE_LEFT].list, FindItem(gCore->panes[PANE_LEFT].list, "taken.txt"));
    prompts_.Queue(0);
    CommandAndWait(CMD_LEFT_DELETE);
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_TRUE(prompts_.calls()[0].dialog);
    EXPECT_EQ((UINT)IDD_DELETE_CONFIRM, prompts_.calls()[0].type);
    EXPECT_EQ("選択ファイルをゴミ箱へ移動しますか", prompts_.calls()[0].question);
    EXPECT_EQ("old.txt\r\ntaken.txt\r\n", prompts_.calls()[0].names);

    MakePaneActive(&gCore->panes[PANE_LEFT]);
    prompts_.Queue(0);
    PostMessageA(Main(), WM_COMMAND, CMD_DELETE, 0); // as the Delete key sends it
    PumpMessages(30);
    ASSERT_EQ(2u, prompts_.calls().size());
    EXPECT_EQ("選択ファイルを削除しますか", prompts_.calls()[1].question);
    EXPECT_TRUE(Exists(left_ / "old.txt")) << "cancelled: nothing deleted";
}

// The real dialog: its boxes show the texts, Enter confirms, Esc cancels.
static DWORD WINAPI AnswerDialog(void* key) {
    HWND dialog = nullptr;
    for (int i = 0; i < 400 && !(dialog = FindWindowA("#32770", "ﾀﾞｲｱﾛｸﾞ")); i++)
        Sleep(10);
    if (!dialog)
        return 0;
    Sleep(100);
    PostMessageA(dialog, WM_KEYDOWN, (WPARAM)(UINT_PTR)key, 0);
    return 1;
}

static INT_PTR CALLBACK CheckingDeleteDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR r = DeleteConfirmDlgProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        const DeleteQuestion* shown = (const DeleteQuestion*)lParam;
        char text[1000];
        GetDlgItemTextA(dialog, IDC_DELETE_QUESTION, text, sizeof text);
        EXPECT_STREQ(shown->question, text);
        GetDlgItemTextA(dialog, IDC_DELETE_NAMES, text, sizeof text);
        EXPECT_STREQ(shown->names, text);
        GetDlgItemTextA(dialog, IDCANCEL, text, sizeof text);
        EXPECT_STREQ("ｷｬﾝｾﾙ", text);
    }
    return r;
}

TEST(DeleteConfirmDialog, EnterConfirmsEscCancels) {
    gInstance = GetModuleHandleA(nullptr);
    DeleteQuestion question = {"選択ファイルを削除しますか", "a.txt\r\nb.txt\r\n"};
    HANDLE t = CreateThread(nullptr, 0, AnswerDialog, (void*)(UINT_PTR)VK_RETURN, 0, nullptr);
    EXPECT_EQ(1, DialogBoxParamA(gInstance, MAKEINTRESOURCEA(IDD_DELETE_CONFIRM), nullptr,
                                 CheckingDeleteDlgProc, (LPARAM)&question));
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    t = CreateThread(nullptr, 0, AnswerDialog, (void*)(UINT_PTR)VK_ESCAPE, 0, nullptr);
    EXPECT_EQ(0, DialogBoxParamA(gInstance, MAKEINTRESOURCEA(IDD_DELETE_CONFIRM), nullptr,
                                 CheckingDeleteDlgProc, (LPARAM)&question));
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
}
