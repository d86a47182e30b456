// Files whose names code page 932 can't spell, in a main window of the test
// process: "café.txt" beside "cafe.txt" (the ANSI calls list both as
// "cafe.txt"), "😀.txt" and "한국.txt" (both "??.txt"), and "表示.txt". The
// names are checked through the wide calls, which give the Linux names.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "app/window_sink.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "exchange/drop_target.h"
#include "exchange/exchange_commands.h"
#include "fileops/file_commands.h"
#include "fileops/worker_job.h"
#include "core/pane.h"
#include "core/pane_model.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

// The compiler makes literals only of the code page's characters, so the
// other names are written as UTF-16 units.
static const std::wstring kCafeAcute = L"caf\xe9.txt";
static const std::wstring kCafe = L"cafe.txt";
static const std::wstring kSmile = L"\xd83d\xde00.txt";
static const std::wstring kKorean = L"\xd55c\xad6d.txt";
static const std::wstring kShown = L"\x8868\x793a.txt"; // 表示.txt

struct NamedFile {
    std::wstring name;
    std::string bytes;
};
static const NamedFile kFiles[] = {
    {kCafeAcute, "acute"}, {kCafe, "plain"}, {kSmile, "smile"}, {kKorean, "korean"}, {kShown, "shown"}};

static std::vector<std::wstring> AllNames() {
    std::vector<std::wstring> names;
    for (const NamedFile& file : kFiles)
        names.push_back(file.name);
    std::sort(names.begin(), names.end());
    return names;
}

// A file-list block of wide names, as other programs put them on the
// clipboard or in a drop.
static HGLOBAL WideFileList(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths)
        names += path + L'\0';
    names += L'\0';
    size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    DROPFILES* header = block ? (DROPFILES*)GlobalLock(block) : nullptr;
    if (!header)
        return block;
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    return block;
}

class UnspellableNamesTest : public TwoPaneTest {
  protected:
    void PrepareFolders() override {
        for (const NamedFile& file : kFiles)
            WriteBytesW(Widen(left_.path()) + file.name, file.bytes);
    }
    void SetUp() override {
        TwoPaneTest::SetUp();
        MakePaneActive(&gCore->panes[PANE_LEFT]);
    }
    int RowOf(const std::wstring& name) { return FindItemW(gCore->panes[PANE_LEFT].list, name); }
    void SelectRows(const std::vector<std::wstring>& names) {
        ListView_SetItemState(gCore->panes[PANE_LEFT].list, -1, 0, LVIS_SELECTED);
        for (const std::wstring& name : names) {
            int row = RowOf(name);
            ASSERT_GE(row, 0) << "no row for a name of " << name.size() << " units";
            ListView_SetItemState(gCore->panes[PANE_LEFT].list, row, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    std::string Left(const std::wstring& name) { return ReadBytesW(Widen(left_.path()) + name); }
    std::string Right(const std::wstring& name) { return ReadBytesW(Widen(right_.path()) + name); }
    std::vector<std::string> Captions() const { return prompts_.captions(); }
    // Every box shown, for the failure message.
    std::string Said() const {
        std::string said;
        for (const PromptCall& call : prompts_.calls())
            said += call.caption + ": " + call.text + "\n";
        return said;
    }
};

// The list shows what the ANSI calls give, and every row finds its own file.
TEST_F(UnspellableNamesTest, ListingShowsTheSystemsTextsAndKeepsTheRealNames) {
    std::vector<std::string> texts;
    for (int i = 0; i < ItemCount(gCore->panes[PANE_LEFT].list); i++)
        texts.push_back(ItemText(gCore->panes[PANE_LEFT].list, i, 0));
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(FolderEntries(left_.path()), texts) << "the texts of the ANSI search";
    EXPECT_EQ(2, std::count(texts.begin(), texts.end(), "cafe.txt"));
    for (const NamedFile& file : kFiles)
        EXPECT_GE(RowOf(file.name), 0);
    int plain = RowOf(kCafe), acute = RowOf(kCafeAcute);
    EXPECT_NE(plain, acute);
    EXPECT_FALSE(ItemParam(gCore->panes[PANE_LEFT].list, plain) & ITEM_HAS_REAL_NAME);
    EXPECT_TRUE(ItemParam(gCore->panes[PANE_LEFT].list, acute) & ITEM_HAS_REAL_NAME);
    EXPECT_FALSE(ItemParam(gCore->panes[PANE_LEFT].list, RowOf(kShown)) & ITEM_HAS_REAL_NAME);
}

TEST_F(UnspellableNamesTest, CopyOfTheWholeSelectionKeepsEveryNameAndItsBytes) {
    ListView_SetItemState(gCore->panes[PANE_LEFT].list, -1, LVIS_SELECTED, LVIS_SELECTED);
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(AllNames(), FolderEntriesW(right_.path()));
    for (const NamedFile& file : kFiles)
        EXPECT_EQ(file.bytes, Right(file.name));
    EXPECT_TRUE(Captions().empty()) << Said();

    // Again: every destination is up to date, so nothing is copied or asked,
    // and the date rule looked at the right destination of each.
    WriteBytesW(Widen(right_.path()) + kCafe, "newer");
    ListView_SetItemState(gCore->panes[PANE_LEFT].list, -1, LVIS_SELECTED, LVIS_SELECTED);
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("newer", Right(kCafe));
    EXPECT_EQ("acute", Right(kCafeAcute));
    EXPECT_TRUE(Captions().empty()) << Said();
}

// A folder holding such names is walked name by name: copied whole, then
// deleted whole.
TEST_F(UnspellableNamesTest, WalkedFoldersCopyAndDeleteTheRealFiles) {
    std::wstring tree = Widen(left_.path()) + L"tree-" + kSmile.substr(0, 2);
    ASSERT_TRUE(CreateDirectoryW(tree.c_str(), nullptr));
    for (const NamedFile& file : kFiles)
        WriteBytesW(tree + L"\\" + file.name, file.bytes);
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    SelectRows({L"tree-" + kSmile.substr(0, 2)});
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob());
    std::string copied = right_.path() + "tree-??\\";
    std::vector<std::wstring> inside;
    WIN32_FIND_DATAW found;
    HANDLE search =
        FindFirstFileW((Widen(right_.path()) + L"tree-" + kSmile.substr(0, 2) + L"\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search) << copied;
    do {
        if (found.cFileName[0] != L'.')
            inside.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(AllNames(), inside);
    EXPECT_EQ("smile", ReadBytesW(Widen(right_.path()) + L"tree-" + kSmile.substr(0, 2) + L"\\" + kSmile));

    SelectRows({L"tree-" + kSmile.substr(0, 2)});
    prompts_.Queue(1); // the delete dialog's OK: deleted for good
    Command(CMD_DELETE);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(tree.c_str())) << "the whole tree went";
    EXPECT_EQ(1u, Captions().size()) << "only the dialog";
}

TEST_F(UnspellableNamesTest, PermanentDeleteOfTheAccentedNameLeavesTheOther) {
    SelectRows({kCafeAcute});
    prompts_.Queue(1);
    Command(CMD_DELETE);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("(missing)", Left(kCafeAcute));
    EXPECT_EQ("plain", Left(kCafe));
    EXPECT_EQ(4u, FolderEntriesW(left_.path()).size());
    EXPECT_EQ(1u, Captions().size()) << "the dialog and no error";
}

// Past row 65,536 a row is still its own entry: the accented name, listed
// after 66,000 others, is copied as itself and its ANSI twin stays behind.
TEST_F(UnspellableNamesTest, PastRow65536TheAccentedNameIsStillItself) {
    std::string many = FolderFromEnvironment("BRENNIK_MANY_ROWS");
    ASSERT_FALSE(many.empty()) << "the test driver makes the folder (BRENNIK_MANY_ROWS)";
    lstrcpyA(gCore->panes[PANE_LEFT].path, many.c_str());
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    EXPECT_GT(RowOf(kCafeAcute), 65536);
    SelectRows({kCafeAcute});
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("acute", Right(kCafeAcute));
    EXPECT_EQ("(missing)", Right(kCafe));
    EXPECT_TRUE(Captions().empty()) << Said();
}

TEST_F(UnspellableNamesTest, RecycleBinDeleteOfTheAccentedNameLeavesTheOther) {
    std::string data = FolderFromEnvironment("XDG_DATA_HOME");
    if (data.empty())
        GTEST_SKIP() << "no trash of the build's own";
    SelectRows({kCafeAcute});
    prompts_.Queue(1);
    CommandAndWait(CMD_LEFT_DELETE); // into the recycle bin, on this thread
    EXPECT_EQ("(missing)", Left(kCafeAcute));
    EXPECT_EQ("plain", Left(kCafe));
    EXPECT_EQ("acute", ReadBytesW(Widen(data) + L"Trash\\files\\" + kCafeAcute)) << "it went to the trash";
    for (const NamedFile& file : kFiles)
        DeleteFileW((Widen(data) + L"Trash\\files\\" + file.name).c_str());
}

TEST_F(UnspellableNamesTest, MoveKeepsTheRealName) {
    SelectRows({kSmile});
    CommandAndWait(CMD_LEFT_MOVE);
    EXPECT_EQ("smile", Right(kSmile));
    EXPECT_EQ("(missing)", Left(kSmile));
    EXPECT_EQ("korean", Left(kKorean)) << "the other \"??.txt\" stays";
    EXPECT_EQ(std::vector<std::wstring>{kSmile}, FolderEntriesW(right_.path()));
    EXPECT_TRUE(Captions().empty()) << Said();
}

TEST_F(UnspellableNamesTest, RenameMovesTheRealFile) {
    SetFocus(gCore->panes[PANE_LEFT].list);
    int row = RowOf(kCafeAcute);
    auto rename = [&](const wchar_t* typed, UINT open = LVM_EDITLABELW) {
        HWND edit = (HWND)SendMessageW(gCore->panes[PANE_LEFT].list, open, row, 0);
        ASSERT_NE(nullptr, edit);
        if (typed)
            SetWindowTextW(edit, typed);
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        PumpMessages(20);
    };
    auto shown = [&] { // the row's text as the screen shows it
        WCHAR text[MAX_PATH] = L"";
        LVITEMW cell = {};
        cell.pszText = text;
        cell.cchTextMax = MAX_PATH;
        SendMessageW(gCore->panes[PANE_LEFT].list, LVM_GETITEMTEXTW, row, (LPARAM)&cell);
        return std::wstring(text);
    };
    // Its twin takes "cafe.txt": nothing is renamed, and the row keeps the real name.
    rename(kCafe.c_str());
    EXPECT_EQ(kCafeAcute, shown());
    EXPECT_EQ("acute", Left(kCafeAcute));
    // Without its twin, "cafe.txt" is free: a rename to it would succeed.
    ASSERT_TRUE(DeleteFileW((Widen(left_.path()) + kCafe).c_str()));
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    SetFocus(gCore->panes[PANE_LEFT].list);
    row = RowOf(kCafeAcute);
    ASSERT_GE(row, 0);
    // The edit shows the real name, or the code page's spelling when opened
    // by the ANSI message: kept as it is, it renames nothing. A typed name
    // the code page can't spell is refused, not narrowed.
    std::vector<std::wstring> before = FolderEntriesW(left_.path());
    rename(nullptr);
    rename(nullptr, LVM_EDITLABELA);
    rename(L"\xd55c-2.txt");
    EXPECT_EQ(before, FolderEntriesW(left_.path()));
    EXPECT_EQ("acute", Left(kCafeAcute));

    // Typed as the code page spells it, it is another name: the file takes it.
    rename(kCafe.c_str());
    EXPECT_EQ("acute", Left(kCafe));
    EXPECT_EQ("(missing)", Left(kCafeAcute));
    EXPECT_EQ(kCafe, shown());
    EXPECT_FALSE(ItemParam(gCore->panes[PANE_LEFT].list, row) & ITEM_HAS_REAL_NAME);

    rename(L"renamed.txt");
    EXPECT_EQ("acute", ReadBytes(left_ / "renamed.txt"));
    EXPECT_EQ("(missing)", Left(kCafeAcute));
    EXPECT_EQ("renamed.txt", ItemText(gCore->panes[PANE_LEFT].list, row, 0));
    EXPECT_FALSE(ItemParam(gCore->panes[PANE_LEFT].list, row) & ITEM_HAS_REAL_NAME)
        << "the new name is its own";
}

// A wide list from another program names the real files: they are pasted
// under their real names, next to nothing of the same ANSI text.
TEST_F(UnspellableNamesTest, PasteOfAWideListCopiesTheRealFiles) {
    HGLOBAL block = WideFileList({Widen(left_.path()) + kSmile, Widen(left_.path()) + kCafeAcute});
    ASSERT_NE(nullptr, block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    EXPECT_EQ(2, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    EXPECT_EQ("smile", Right(kSmile));
    EXPECT_EQ("acute", Right(kCafeAcute));
    EXPECT_EQ((std::vector<std::wstring>{kCafeAcute, kSmile}), FolderEntriesW(right_.path()));
    // Pasted again, the question names the real file the copy would replace.
    std::vector<std::wstring> asked;
    prompts_.OnCall([&](const PromptCall& call) { asked.push_back(call.conflictNameW); });
    prompts_.Queue(IDCANCEL);
    prompts_.Queue(IDCANCEL);
    EXPECT_EQ(2, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    EXPECT_EQ((std::vector<std::wstring>{kSmile, kCafeAcute}), asked);
    prompts_.OnCall(nullptr);

    // Pasted into its own folder, it becomes a copy of the real file.
    EXPECT_EQ(2, PasteFromClipboard(main_->window(), left_.path().c_str(), WindowWalkSink()));
    EXPECT_EQ("smile", Left(Widen("コピー ～ ") + kSmile));
    EXPECT_EQ("acute", Left(Widen("コピー ～ ") + kCafeAcute));
    EXPECT_EQ("plain", Left(kCafe));
    EXPECT_EQ(2u, Captions().size()) << "only the two questions: " << Said();
}

// A double-click opens the real file by its extension's rule, and enters a
// folder of such a name.
TEST_F(UnspellableNamesTest, DoubleClickOpensAndEntersTheRealItems) {
    TempFolder tools;
    ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), (tools / "rec.exe").c_str(), FALSE));
    WriteBytes(tools / "Brenn.dat", DataFile({tools / "rec.exe"}, {RuleLine("txt", 0, 0)}));
    ASSERT_EQ(1, gCore->LoadAssociations((tools / "Brenn.dat").c_str()));
    DoubleClickItem(gCore->panes[PANE_LEFT].list, RowOf(kSmile));
    std::vector<std::string> lines = Logged(tools.path(), 1);
    ASSERT_EQ(1u, lines.size());
    std::string passed = QuotedPathAfter(lines[0], tools / "rec.exe ");
    ASSERT_FALSE(passed.empty()) << lines[0];
    EXPECT_EQ("smile", ReadBytes(passed)) << passed;
    // Back to the tests' own data file, in "testwork" beside the test program.
    EXPECT_EQ(1, gCore->LoadAssociations((ModuleFolder() + "testwork\\Brenn.dat").c_str()));

    std::wstring folder = L"dir-" + kKorean.substr(0, 2);
    ASSERT_TRUE(CreateDirectoryW((Widen(left_.path()) + folder).c_str(), nullptr));
    WriteBytesW(Widen(left_.path()) + folder + L"\\inside.txt", "in");
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    DoubleClickItem(gCore->panes[PANE_LEFT].list, RowOf(folder));
    EXPECT_EQ(left_.path(), std::string(gCore->panes[PANE_LEFT].path).substr(0, left_.path().size()));
    EXPECT_EQ(std::vector<std::wstring>{L"inside.txt"}, FolderEntriesW(gCore->panes[PANE_LEFT].path))
        << gCore->panes[PANE_LEFT].path;
    ASSERT_EQ(1, ItemCount(gCore->panes[PANE_LEFT].list));
    EXPECT_EQ("inside.txt", ItemText(gCore->panes[PANE_LEFT].list, 0, 0));
    EXPECT_TRUE(Captions().empty()) << Said();
}

// A drop of a wide list: each name is read with its real form and copied so.
TEST_F(UnspellableNamesTest, DropOfAWideListCopiesTheRealFiles) {
    HGLOBAL block = WideFileList({Widen(left_.path()) + kKorean, Widen(left_.path()) + kCafe});
    ASSERT_NE(nullptr, block);
    ASSERT_TRUE(IsWellFormedFileList(block));
    HDROP drop = (HDROP)block;
    ASSERT_EQ(1, ReadDroppedName(drop, 0, &gDropTarget->DroppedPaths[0], WindowWalkSink()));
    ASSERT_EQ(1, ReadDroppedName(drop, 1, &gDropTarget->DroppedPaths[1], WindowWalkSink()));
    GlobalFree(block);
    EXPECT_STREQ((left_.path() + "??.txt").c_str(), gDropTarget->DroppedPaths[0].text)
        << "the text as the system gives it";
    EXPECT_TRUE(Widen(left_.path()) + kKorean == gDropTarget->DroppedPaths[0].wide);
    EXPECT_EQ(0, gDropTarget->DroppedPaths[1].wide[0]) << "a name the ANSI text reaches goes by the text";
    PostMessageA(main_->window(), MSG_DROP_DONE, 2, 0);
    PumpUntil([&] { return Right(kCafe) != "(missing)"; }, 5000);
    EXPECT_EQ((std::vector<std::wstring>{kCafe, kKorean}), FolderEntriesW(right_.path()));
    EXPECT_EQ("korean", Right(kKorean));
    EXPECT_EQ("plain", Right(kCafe));
    EXPECT_TRUE(Captions().empty()) << Said();
}

// Another program reads the clipboard's ANSI list and opens the name it finds.
TEST_F(UnspellableNamesTest, ClipboardNameOpensTheRealFileInAnotherProgram) {
    SelectRows({kKorean});
    Command(CMD_CLIPBOARD_COPY);
    ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), (right_ / "reader.exe").c_str(), FALSE));
    std::string line = "\"" + (right_ / "reader.exe") + "\" --clipboard";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string logged = ReadBytes(right_ / "recorded.txt");
    std::string name = logged.substr(0, logged.find('|'));
    EXPECT_EQ(left_.path(), name.substr(0, left_.path().size())) << logged;
    EXPECT_EQ("korean\n", logged.substr(logged.find('|') + 1)) << logged;
}

// A file without a short name (Windows volumes may have them switched off) is
// not handed to other programs under a name that reaches another file.
TEST_F(UnspellableNamesTest, WithoutAShortNameNothingIsPassedAndTheUserIsTold) {
    RealName real = {};
    lstrcpyW(real.name, kSmile.c_str());
    SelectedItem item = {"??.txt", MakeItemParam(FILE_ATTRIBUTE_ARCHIVE | ITEM_HAS_REAL_NAME, 0), &real};
    EXPECT_EQ(nullptr, NameForOthers(item, WindowWalkSink()));
    ASSERT_EQ(1u, Captions().size());
    EXPECT_EQ("Name Error", Captions()[0]);
    EXPECT_EQ(0u, prompts_.calls()[0].text.find("??.txt")) << "the name as the list shows it";
    lstrcpyA(real.shortName, "__~~~NAT.TXT");
    EXPECT_STREQ("__~~~NAT.TXT", NameForOthers(item, WindowWalkSink()));
    SelectedItem plain = {"cafe.txt", MakeItemParam(FILE_ATTRIBUTE_ARCHIVE, 1), nullptr};
    EXPECT_STREQ("cafe.txt", NameForOthers(plain, WindowWalkSink()));
    EXPECT_EQ(1u, Captions().size());
}
