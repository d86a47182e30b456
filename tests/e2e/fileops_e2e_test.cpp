// Copy and delete in the running program, by real mouse and keyboard input,
// checked on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "res/resource.h"
#include "tests/e2e/e2e_support.h"

namespace {

class FileOps : public TwoFolderProgramTest {
  protected:
    void SetUp() override {
        TwoFolderProgramTest::SetUp();
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            WriteBytes(work_ / "left\\" + name, std::string("text of ") + name);
    }
    void Click(HWND list, const std::string& name) {
        int item = Find(list, name);
        ASSERT_GE(item, 0) << name;
        POINT at = ItemCentre(program_.process(), list, item);
        ClickAt(at.x, at.y);
    }
    // A click on the toolbar button at this index.
    void ClickButton(HWND toolbar, int index) {
        RemoteBuffer buffer(program_.process(), sizeof(RECT));
        SendMessageA(toolbar, TB_GETITEMRECT, index, (LPARAM)buffer.address());
        RECT button = {};
        buffer.Read(&button, sizeof button);
        POINT at = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
        MapWindowPoints(toolbar, nullptr, &at, 1);
        ClickAt(at.x, at.y);
    }
    void ClickOk(HWND dialog) {
        HWND ok = GetDlgItem(dialog, IDOK);
        ASSERT_NE(nullptr, ok);
        RECT rect;
        GetWindowRect(ok, &rect);
        ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
};

TEST_F(FileOps, CopyWithTheToolbarThenDeleteWithTheDeleteKey) {
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101), status = GetDlgItem(main, 102);
    HWND toolbar = GetDlgItem(FindWindowExA(main, nullptr, "EDIT", nullptr), 120);
    ASSERT_TRUE(left && right && status && toolbar);

    // a.txt by a click, then c.txt by the keyboard: Ctrl+Down twice moves the
    // focus without selecting, Ctrl+Space adds the item. b.txt stays out.
    Click(left, "a.txt");
    KeyDown(VK_CONTROL);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_SPACE);
    KeyUp(VK_CONTROL);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(left, LVM_GETSELECTEDCOUNT, 0, 0) == 2; }))
        << SendMessageA(left, LVM_GETSELECTEDCOUNT, 0, 0);

    // The fourth button: "left: copy the selected files".
    ClickButton(toolbar, 3);
    ASSERT_TRUE(WaitFor([&] { return RemoteStatusText(program_.process(), status, 0) == "Copy End"; }));
    EXPECT_EQ("text of a.txt", ReadBytes(work_ / "right\\a.txt"));
    EXPECT_EQ("text of c.txt", ReadBytes(work_ / "right\\c.txt"));
    EXPECT_FALSE(Exists(work_ / "right\\b.txt"));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(right, LVM_GETITEMCOUNT, 0, 0) == 2; }));
    Sleep(300);
    EXPECT_TRUE(SaveScreen(ShotPath("after-copy"), main));

    // Delete key on the right pane's a.txt; while the question is open the
    // user clicks c.txt; OK deletes only what the question listed.
    Click(right, "a.txt");
    HoldKey(VK_DELETE, 150);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindowA("#32770", "ﾀﾞｲｱﾛｸﾞ")) != nullptr; }))
        << "no delete question";
    char names[256] = "";
    SendDlgItemMessageA(dialog, IDC_DELETE_NAMES, WM_GETTEXT, sizeof names, (LPARAM)names);
    EXPECT_STREQ("a.txt\r\n", names);
    Click(right, "c.txt");
    ClickOk(dialog);
    ASSERT_TRUE(WaitFor([&] { return RemoteStatusText(program_.process(), status, 0) == "Delete End"; }));
    EXPECT_FALSE(Exists(work_ / "right\\a.txt"));
    EXPECT_TRUE(Exists(work_ / "right\\c.txt")) << "clicked during the question, never confirmed";
    EXPECT_TRUE(Exists(work_ / "left\\a.txt")) << "the copy's source is untouched";
    EXPECT_EQ(1, (int)SendMessageA(right, LVM_GETITEMCOUNT, 0, 0));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

// A copy long enough to be seen under way: its picture shows the progress
// texts, and it ends with every file copied.
TEST_F(FileOps, ACopyUnderWayShowsWhatItCopies) {
    const int files = 1500;
    CreateDirectoryA((work_ / "left\\many").c_str(), nullptr);
    for (int i = 0; i < files; i++)
        WriteBytes(work_ / "left\\many\\file" + std::to_string(i) + ".txt", std::string(4096, 'x'));
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), status = GetDlgItem(main, 102);
    HWND toolbar = GetDlgItem(FindWindowExA(main, nullptr, "EDIT", nullptr), 120);
    ASSERT_TRUE(left && status && toolbar);
    Click(left, "many");
    ClickButton(toolbar, 3);
    // The copy names each file it copies beside the destination pane's part.
    std::string copying = work_ / "right\\many\\file";
    bool seen =
        WaitFor([&] { return RemoteStatusText(program_.process(), status, 1).rfind(copying, 0) == 0; });
    if (seen && RemoteStatusText(program_.process(), status, 0) != "Copy End")
        SaveScreen(ShotPath("copy-under-way"), main);
    EXPECT_TRUE(seen) << RemoteStatusText(program_.process(), status, 1);
    ASSERT_TRUE(
        WaitFor([&] { return RemoteStatusText(program_.process(), status, 0) == "Copy End"; }, 60000));
    EXPECT_EQ((size_t)files, FolderEntries(work_ / "right\\many\\").size());
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

// "café.txt" beside "cafe.txt", "😀.txt" and "한국.txt" (both "??.txt" to the
// ANSI calls) and "表示.txt": all five are copied under their own names, and a
// delete of one "??.txt" row deletes that file and no other.
TEST_F(FileOps, NamesTheCodePageCantSpellAreCopiedAndDeleted) {
    const std::wstring names[] = {L"caf\xe9.txt", L"cafe.txt", L"\xd83d\xde00.txt", L"\xd55c\xad6d.txt",
                                  L"\x8868\x793a.txt"};
    std::wstring leftFolder = Widen(work_ / "left\\"), rightFolder = Widen(work_ / "right\\");
    for (const std::wstring& name : names)
        WriteBytesW(leftFolder + name,
                    "bytes of " + std::to_string(name.size()) + " " + std::to_string(name[0]));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        DeleteFileA((work_ / "left\\" + name).c_str());
    ASSERT_TRUE(program_.Start(work_.path()));
    HWND main = program_.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101), status = GetDlgItem(main, 102);
    HWND toolbar = GetDlgItem(FindWindowExA(main, nullptr, "EDIT", nullptr), 120);
    ASSERT_TRUE(left && right && status && toolbar);
    ASSERT_EQ(5, (int)SendMessageA(left, LVM_GETITEMCOUNT, 0, 0));

    // All five: a click on the first row, then Shift+End.
    POINT first = ItemCentre(program_.process(), left, 0);
    ClickAt(first.x, first.y);
    KeyDown(VK_SHIFT);
    PressKey(VK_END);
    KeyUp(VK_SHIFT);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(left, LVM_GETSELECTEDCOUNT, 0, 0) == 5; }));
    ClickButton(toolbar, 3);
    ASSERT_TRUE(WaitFor([&] { return RemoteStatusText(program_.process(), status, 0) == "Copy End"; }));
    std::vector<std::wstring> expected(std::begin(names), std::end(names));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FolderEntriesW(work_ / "right\\"));
    for (const std::wstring& name : names)
        EXPECT_EQ(ReadBytesW(leftFolder + name), ReadBytesW(rightFolder + name));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(right, LVM_GETITEMCOUNT, 0, 0) == 5; }));
    // The rows show the real names; read back in the code page they are the
    // system's texts, as other programs and the commands read them.
    std::vector<std::wstring> shown;
    std::vector<std::string> read;
    for (int row = 0; row < 5; row++) {
        shown.push_back(RemoteItemTextW(program_.process(), right, row));
        read.push_back(RemoteItemText(program_.process(), right, row, 0));
    }
    std::sort(shown.begin(), shown.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(expected, shown);
    EXPECT_EQ((std::vector<std::string>{"??.txt", "??.txt", "cafe.txt", "cafe.txt", "表示.txt"}), read);
    // The pointer leaves the copy button, and its tip the rows, for the picture.
    RECT rightRect;
    GetWindowRect(right, &rightRect);
    SetCursorPos((rightRect.left + rightRect.right) / 2, rightRect.bottom - 20);
    Sleep(500);
    EXPECT_TRUE(SaveScreen(ShotPath("unspellable-copy"), main));

    Sleep(GetDoubleClickTime() + 100);
    Click(right, "??.txt");
    HoldKey(VK_DELETE, 150);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindowA("#32770", "ﾀﾞｲｱﾛｸﾞ")) != nullptr; }));
    ClickOk(dialog);
    ASSERT_TRUE(WaitFor([&] { return RemoteStatusText(program_.process(), status, 0) == "Delete End"; }));
    std::vector<std::wstring> left4 = FolderEntriesW(work_ / "right\\");
    ASSERT_EQ(4u, left4.size()) << "one real file went";
    int unspellableLeft = 0;
    for (const std::wstring& name : left4)
        unspellableLeft += name == names[2] || name == names[3];
    EXPECT_EQ(1, unspellableLeft);
    EXPECT_EQ(4, (int)SendMessageA(right, LVM_GETITEMCOUNT, 0, 0));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program_.WaitForExit());
}

} // namespace
