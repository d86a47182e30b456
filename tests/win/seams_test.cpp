// Where two features meet: which pane is active when a list repaints, message
// boxes and drops, links and the into-itself refusal, the paste's naming, drive
// roots, a rename and My Computer, the Delete key and the job.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/window_sink.h"
#include "app/app_state.h"
#include "app/keys.h"
#include "core/filer_core.h"
#include "fileops/file_commands.h"
#include "core/pane.h"
#include "core/pane_model.h"
#include "res/resource.h"
#include "tests/win/support/exchange_fixture.h"

namespace {

const char kNothingCopied[] = "ドロップされたファイルはコピーされませんでした";

class SeamsTest : public ExchangeFixture {
  protected:
    void PrepareFolders() override {
        WriteBytes(left_ / "a.txt", "left a");
        WriteBytes(right_ / "b.txt", "right b");
    }
    void Notify(Pane* pane, UINT code) {
        NMLISTVIEW notice = {};
        notice.hdr.hwndFrom = pane->list;
        notice.hdr.idFrom = pane == &gCore->panes[PANE_LEFT] ? IDC_LEFT_LIST : IDC_RIGHT_LIST;
        notice.hdr.code = code;
        notice.uChanged = LVIF_STATE;
        SendMessageA(Main(), WM_NOTIFY, notice.hdr.idFrom, (LPARAM)&notice);
    }
};

TEST_F(SeamsTest, OnlyWhatTheUserDoesToAListMakesItsPaneActive) {
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt"}));
    ASSERT_EQ(&gCore->panes[PANE_LEFT], ActivePane()) << "a selection change is the user's";
    PumpMessages(50); // the left list repaints its selection first
    // A real repaint of the other list, as a window passing over it causes.
    RedrawWindow(gCore->panes[PANE_RIGHT].list, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(&gCore->panes[PANE_LEFT], ActivePane());
    Command(CMD_CLIPBOARD_COPY);
    EXPECT_EQ(std::vector<std::string>{left_ / "a.txt"}, ClipboardNames()) << "the left pane's selection";

    struct {
        UINT code;
        bool activates;
    } notices[] = {
        {NM_CUSTOMDRAW, false},  {LVN_GETDISPINFOA, false}, {LVN_HOTTRACK, false},   {NM_HOVER, false},
        {NM_KILLFOCUS, false},   {LVN_INSERTITEM, false},   {LVN_DELETEITEM, false}, {LVN_GETINFOTIPA, false},
        {NM_CLICK, true},        {NM_RCLICK, true},         {NM_SETFOCUS, true},     {LVN_KEYDOWN, true},
        {LVN_ITEMCHANGED, true},
    };
    for (const auto& notice : notices) {
        Activate(&gCore->panes[PANE_LEFT]);
        Notify(&gCore->panes[PANE_RIGHT], notice.code);
        EXPECT_EQ(notice.activates ? &gCore->panes[PANE_RIGHT] : &gCore->panes[PANE_LEFT], ActivePane())
            << (int)notice.code;
    }
    // What passes through the message loop's keys: only a key pressed in a
    // list moves the commands to its pane, not the pointer passing over it.
    LoadKeys();
    struct {
        UINT message;
        WPARAM wParam;
        bool activates;
    } passing[] = {
        {WM_MOUSEMOVE, 0, false}, {WM_PAINT, 0, false}, {WM_TIMER, 1, false}, {WM_KEYDOWN, VK_DOWN, true}};
    for (const auto& m : passing) {
        Activate(&gCore->panes[PANE_LEFT]);
        MSG msg = {gCore->panes[PANE_RIGHT].list, m.message, m.wParam, 0, 0, {0, 0}};
        EXPECT_EQ(0, TranslateKeys(&msg));
        EXPECT_EQ(m.activates ? &gCore->panes[PANE_RIGHT] : &gCore->panes[PANE_LEFT], ActivePane())
            << m.message;
    }
    // A listing makes its pane active, whatever the user did last; the
    // keyboard given back when the window returns from a box does not.
    SetFocus(gCore->panes[PANE_LEFT].list);
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    EXPECT_EQ(&gCore->panes[PANE_RIGHT], ActivePane());
    DestroyWindow(CreateWindowExA(0, "BUTTON", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, Main(), 0, 0, 0));
    EXPECT_EQ(gCore->panes[PANE_LEFT].list, GetFocus());
    EXPECT_EQ(&gCore->panes[PANE_RIGHT], ActivePane());
}

// An IDataObject whose GetData answers with another success code than S_OK,
// as some programs do; the medium it fills is a good one all the same.
class OtherSuccessData : public IDataObject {
  public:
    explicit OtherSuccessData(IDataObject* inner) : inner_(inner) {}
    STDMETHODIMP QueryInterface(REFIID id, void** out) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        HRESULT result = inner_->GetData(format, medium);
        return result == S_OK ? DATA_S_SAMEFORMATETC : result;
    }
    STDMETHODIMP GetDataHere(FORMATETC* f, STGMEDIUM* m) override { return inner_->GetDataHere(f, m); }
    STDMETHODIMP QueryGetData(FORMATETC* f) override { return inner_->QueryGetData(f); }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* a, FORMATETC* b) override {
        return inner_->GetCanonicalFormatEtc(a, b);
    }
    STDMETHODIMP SetData(FORMATETC* f, STGMEDIUM* m, BOOL r) override { return inner_->SetData(f, m, r); }
    STDMETHODIMP EnumFormatEtc(DWORD d, IEnumFORMATETC** e) override { return inner_->EnumFormatEtc(d, e); }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  private:
    IDataObject* inner_;
};

// The other program's drag loop waits while Drop runs: nothing modal there.
// What it refused is said when the drop is carried out, and a drop that is
// then not carried out says so.
TEST_F(SeamsTest, ADropSpeaksOnlyWhenItIsCarriedOut) {
    bool inDrop = false;
    int boxesInDrop = 0;
    prompts_.OnCall([&](const PromptCall&) { boxesInDrop += inDrop; });
    std::string tooLong = "C:\\" + std::string(300, 'x');
    FileDataObject* data = DataWith(BlockOf({tooLong, left_ / "a.txt"}));
    inDrop = true;
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DropOnly(data));
    inDrop = false;
    EXPECT_EQ(0, boxesInDrop);
    PumpMessages(50);
    EXPECT_EQ(1, CountCaption("Path Length Error"));
    EXPECT_EQ("left a", ReadBytes(right_ / "a.txt"));

    // Taken, then the right pane goes to My Computer before it is carried out.
    DeleteFileA((right_ / "a.txt").c_str());
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DropOnly(data));
    data->Release();
    Command(CMD_RIGHT_MY_COMPUTER);
    PumpMessages(50);
    EXPECT_FALSE(Exists(right_ / "a.txt"));
    ASSERT_FALSE(prompts_.calls().empty());
    EXPECT_EQ(kNothingCopied, prompts_.calls().back().text);
    EXPECT_EQ("Drag&Drop", prompts_.calls().back().caption);

    // A success code other than S_OK still carries the list.
    strcpy(gCore->panes[PANE_RIGHT].path, right_.path().c_str());
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    FileDataObject* plain = DataWith(BlockOf({left_ / "a.txt"}));
    OtherSuccessData other(plain);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DropNow(&other));
    plain->Release();
    EXPECT_EQ("left a", ReadBytes(right_ / "a.txt"));
}

TEST_F(SeamsTest, APasteIntoTheSameFolderAsksBeforeReplacingAnEarlierCopy) {
    const std::string copy = left_ / "コピー ～ a.txt";
    struct {
        INT_PTR answer;
        const char* left;
    } cases[] = {
        {IDCANCEL, "edited"},
        {IDC_COPY_BY_DATE, "edited"}, // the edit is newer than a.txt
        {IDC_OVERWRITE_COPY, "left a"},
    };
    for (const auto& c : cases) {
        WriteBytes(copy, "edited");
        SetWriteTime(left_ / "a.txt", 1);
        SetWriteTime(copy, 2);
        PutOnClipboard(CF_HDROP, BlockOf({left_ / "a.txt"}));
        size_t before = prompts_.calls().size();
        prompts_.Queue(c.answer);
        EXPECT_EQ(1, PasteFromClipboard(Main(), left_.path().c_str(), WindowWalkSink()));
        ASSERT_EQ(before + 1, prompts_.calls().size()) << c.answer;
        EXPECT_EQ((UINT)IDD_OVERWRITE, prompts_.calls()[before].type);
        EXPECT_EQ("コピー ～ a.txt", prompts_.calls()[before].conflictName) << "the file it would replace";
        EXPECT_EQ(c.left, ReadBytes(copy)) << c.answer;
    }
}

// A drive root has no name of its own: its copy would be the destination
// folder itself, merged with a whole drive.
TEST_F(SeamsTest, DriveRootsAreNamedAndLeftOutOfPastesAndDrops) {
    if (!Exists("Q:\\.brennik-test-drive"))
        GTEST_SKIP() << "the test drive Q: is not set up";
    for (bool drop : {false, true}) {
        SCOPED_TRACE(drop ? "drop" : "paste");
        size_t before = prompts_.calls().size();
        HGLOBAL block = BlockOf({"Q:\\", left_ / "a.txt"});
        if (drop) {
            FileDataObject* data = DataWith(block);
            DropNow(data);
            data->Release();
        } else {
            PutOnClipboard(CF_HDROP, block);
            Activate(&gCore->panes[PANE_RIGHT]);
            CommandAndWait(CMD_CLIPBOARD_PASTE);
        }
        ASSERT_EQ(before + 1, prompts_.calls().size());
        EXPECT_EQ("CopyZ File ERROR", prompts_.calls()[before].caption);
        EXPECT_EQ(0u, prompts_.calls()[before].text.find("Q:\\\r\n"));
        EXPECT_FALSE(Exists(right_ / ".brennik-test-drive"));
        EXPECT_EQ("left a", ReadBytes(right_ / "a.txt")) << "the other entry goes on";
        DeleteFileA((right_ / "a.txt").c_str());
    }
}

TEST_F(SeamsTest, ARenameOpenWhenThePaneGoesToMyComputerEndsUnrenamed) {
    SetFocus(gCore->panes[PANE_LEFT].list);
    int item = FindItem(gCore->panes[PANE_LEFT].list, "a.txt");
    ASSERT_GE(item, 0);
    HWND edit = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA, item, 0);
    ASSERT_NE(nullptr, edit);
    ASSERT_EQ(1, gCore->editing);
    SetWindowTextA(edit, "renamed.txt");
    Command(CMD_LEFT_MY_COMPUTER);
    HWND still = (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_GETEDITCONTROL, 0, 0);
    EXPECT_EQ(nullptr, still) << "the edit is closed with the listing";
    if (still)
        SendMessageA(still, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_EQ(0, gCore->editing);
    EXPECT_EQ("left a", ReadBytes(left_ / "a.txt"));
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    std::string stray = std::string(current) + "\\renamed.txt";
    EXPECT_FALSE(Exists(stray)) << "moved into the current folder";
    DeleteFileA(stray.c_str());
}

// Holding Delete with nothing selected: no beep, no refusal over a job's progress.
TEST_F(SeamsTest, TheDeleteKeyWithNothingSelectedIsQuiet) {
    for (int i = 0; i < 200; i++)
        WriteBytes(left_ / ("f" + std::to_string(i) + ".txt"), std::string(2000, 'x'));
    Relist();
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(JobRunning());
    Activate(&gCore->panes[PANE_RIGHT]);
    SelectOnly(gCore->panes[PANE_RIGHT].list, {});
    Command(CMD_DELETE);
    EXPECT_TRUE(JobRunning());
    EXPECT_NE("処理中です", StatusText(gCore->statusBar, 0));
    ASSERT_TRUE(WaitForJob());

    Command(CMD_LEFT_MY_COMPUTER);
    SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "before");
    Command(CMD_DELETE);
    CommandAndWait(CMD_LEFT_DELETE);
    EXPECT_EQ("before", StatusText(gCore->statusBar, 0));
    EXPECT_TRUE(prompts_.calls().empty());
}

// A drag let go over the list it started from drops nothing; over the other list it copies.
TEST_F(SeamsTest, ADragLetGoOverItsOwnListIsNoDrop) {
    for (PaneSide over : {PANE_LEFT, PANE_RIGHT}) {
        SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt"});
        RECT r;
        GetWindowRect(gCore->panes[over].list, &r);
        SetCursorPos(r.left + 50, r.top + 50);
        Notify(&gCore->panes[PANE_LEFT], LVN_BEGINDRAG); // no button is down: it ends where it starts
        EXPECT_EQ(over == PANE_RIGHT, (PumpMessages(50), Exists(right_ / "a.txt"))) << over;
    }
}

// A clipboard copy whose every item is left out leaves the user's clipboard.
TEST_F(SeamsTest, ACopyThatTakesNothingLeavesTheClipboard) {
    PutOnClipboard(CF_HDROP, BlockOf({right_ / "b.txt"}));
    int item = FindItem(gCore->panes[PANE_LEFT].list, "a.txt");
    ASSERT_GE(item, 0);
    // A row whose real name has no short name: it can't be passed on, and is said.
    PaneModel& model = *ModelOfList(gCore->panes[PANE_LEFT].list);
    int entry = model.Add("a.txt", L"a\u00e1.txt", nullptr, "");
    model.order[(size_t)item] = entry;
    SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt"});
    Activate(&gCore->panes[PANE_LEFT]);
    Command(CMD_CLIPBOARD_COPY);
    EXPECT_EQ(1, CountCaption("Name Error"));
    EXPECT_EQ(std::vector<std::string>{right_ / "b.txt"}, ClipboardNames());
}

// Where not even "c:\" can be entered, the pane shows nothing under that
// path: a search then would list whatever folder happens to be current.
TEST_F(SeamsTest, WhenNoFolderCanBeEnteredThePaneStaysEmpty) {
    char prefix[MAX_PATH];
    if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) || prefix[0] != '/')
        GTEST_SKIP() << "drive C: is taken away only in a Wine prefix of the build's own";
    std::string drive = "Z:" + std::string(prefix);
    for (char& c : drive)
        if (c == '/')
            c = '\\';
    std::string away = drive + "\\drive_c.away";
    drive += "\\drive_c";
    // The current folder is one off drive C: with files in it ("Brenn.dat").
    ASSERT_TRUE(SetCurrentDirectoryA((ModuleFolder() + "testwork").c_str()));
    strcpy(gCore->panes[PANE_LEFT].path, (left_ / "gone\\").c_str());
    ASSERT_TRUE(MoveFileA(drive.c_str(), away.c_str()));
    {
        // Back however the listing ends, for the tests after this one.
        struct Restore {
            const std::string& from;
            const std::string& to;
            ~Restore() { MoveFileA(from.c_str(), to.c_str()); }
        } restore{away, drive};
        ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    }
    ASSERT_TRUE(Exists(drive + "\\windows")) << "drive C: must come back";
    EXPECT_STREQ("c:\\", gCore->panes[PANE_LEFT].path);
    EXPECT_EQ(0, ItemCount(gCore->panes[PANE_LEFT].list)) << "the current folder's files are not shown";
    EXPECT_EQ(1, CountCaption("CurrentDirectry Error"));
}

} // namespace
