// The clipboard, the drag source's objects and the drop target, through the
// real Wine clipboard and OLE, on files in temporary folders.
#include "app/drag_drop.h"
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "app/window_sink.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "exchange/data_object.h"
#include "exchange/drop_target.h"
#include "exchange/exchange_commands.h"
#include "fileops/file_commands.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/exchange_fixture.h"

TEST(DragObjects, DataObjectAnswers) {
    FileDataObject* data = DataWith(BlockOf({"C:\\a\\x", "C:\\a\\y", "C:\\a\\z"}));
    FORMATETC hdrop = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(S_OK, data->QueryGetData(&hdrop));
    FORMATETC stream = hdrop;
    stream.tymed = TYMED_ISTREAM;
    EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&stream));
    FORMATETC icon = hdrop;
    icon.dwAspect = DVASPECT_ICON;
    EXPECT_EQ(DV_E_DVASPECT, data->QueryGetData(&icon));
    FORMATETC text = hdrop;
    text.cfFormat = CF_TEXT;
    EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&text));
    EXPECT_EQ(E_INVALIDARG, data->QueryGetData(nullptr));
    EXPECT_EQ(E_INVALIDARG, data->GetData(&hdrop, nullptr));
    EXPECT_EQ(E_NOTIMPL, data->GetDataHere(&hdrop, nullptr));
    EXPECT_EQ(E_NOTIMPL, data->GetCanonicalFormatEtc(&hdrop, nullptr));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, data->DAdvise(&hdrop, 0, nullptr, nullptr));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, data->DUnadvise(0));
    EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, data->EnumDAdvise(nullptr));

    // Two copies, each the caller's, independent of each other and of the object's own block.
    STGMEDIUM first = {}, second = {};
    ASSERT_EQ(S_OK, data->GetData(&hdrop, &first));
    ASSERT_EQ(S_OK, data->GetData(&hdrop, &second));
    EXPECT_NE(first.hGlobal, second.hGlobal);
    std::vector<std::string> expected = {"C:\\a\\x", "C:\\a\\y", "C:\\a\\z"};
    EXPECT_EQ(expected, NamesIn(first.hGlobal));
    ReleaseStgMedium(&first);
    EXPECT_EQ(expected, NamesIn(second.hGlobal));
    ReleaseStgMedium(&second);
    STGMEDIUM third = {};
    ASSERT_EQ(S_OK, data->GetData(&hdrop, &third));
    EXPECT_EQ(expected, NamesIn(third.hGlobal));
    ReleaseStgMedium(&third);

    // Two entries at most; an unowned medium of a kind that can't be copied is refused.
    STGMEDIUM none = {};
    EXPECT_EQ(E_OUTOFMEMORY, data->SetData(&text, &none, FALSE));
    IUnknown* unknown = nullptr;
    EXPECT_EQ(S_OK, data->QueryInterface(IID_IUnknown, (void**)&unknown));
    EXPECT_EQ(1u, unknown->Release());
    IDropTarget* wrong = (IDropTarget*)1;
    EXPECT_EQ(E_NOINTERFACE, data->QueryInterface(IID_IDropTarget, (void**)&wrong));
    EXPECT_EQ(nullptr, wrong);
    EXPECT_EQ(0u, data->Release());
}

TEST(DragObjects, FormatEnumeratorAndDropSource) {
    FileDataObject* data = DataWith(BlockOf({"C:\\a\\x"}));
    IEnumFORMATETC* formats = (IEnumFORMATETC*)1;
    EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, &formats));
    EXPECT_EQ(nullptr, formats);
    EXPECT_EQ(E_INVALIDARG, data->EnumFormatEtc(DATADIR_GET, nullptr));
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    FORMATETC got[5] = {};
    ULONG fetched = 99;
    EXPECT_EQ(S_OK, formats->Next(1, got, &fetched));
    EXPECT_EQ(1u, fetched);
    EXPECT_EQ(CF_HDROP, got[0].cfFormat);
    EXPECT_EQ(S_FALSE, formats->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);
    // Clone at the end is at its end too.
    IEnumFORMATETC* clone = nullptr;
    EXPECT_EQ(E_POINTER, formats->Clone(nullptr));
    ASSERT_EQ(S_OK, formats->Clone(&clone));
    EXPECT_EQ(S_FALSE, clone->Next(1, got, nullptr));
    EXPECT_EQ(S_OK, clone->Reset());
    EXPECT_EQ(S_OK, clone->Next(1, got, nullptr));
    clone->Release();
    formats->Reset();
    fetched = 99;
    EXPECT_EQ(S_FALSE, formats->Next(5, got, &fetched));
    EXPECT_EQ(1u, fetched);
    formats->Reset();
    EXPECT_EQ(S_FALSE, formats->Next(5, got, nullptr)) << "more than one needs a counter";
    EXPECT_EQ(S_OK, formats->Skip(1));
    EXPECT_EQ(S_OK, formats->Skip(0));
    EXPECT_EQ(S_FALSE, formats->Skip(1));
    IDataObject* wrong = (IDataObject*)1;
    EXPECT_EQ(E_NOINTERFACE, formats->QueryInterface(IID_IDataObject, (void**)&wrong));
    EXPECT_EQ(nullptr, wrong);
    EXPECT_EQ(0u, formats->Release());
    data->Release();

    DropSource* source = new DropSource;
    EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(TRUE, MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, MK_SHIFT));
    EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_CONTROL));
    EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_RBUTTON));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source->GiveFeedback(DROPEFFECT_COPY));
    IDataObject* notMine = (IDataObject*)1;
    EXPECT_EQ(E_NOINTERFACE, source->QueryInterface(IID_IDataObject, (void**)&notMine));
    EXPECT_EQ(nullptr, notMine);
    EXPECT_EQ(0u, source->Release());
}

class ExchangeTest : public ExchangeFixture {
  protected:
    void PrepareFolders() override {
        for (const char* name : {"x.txt", "y.txt", "z.txt"})
            WriteBytes(left_ / name, std::string("left ") + name);
        CreateDirectoryA((left_ / "sub").c_str(), nullptr);
        WriteBytes(left_ / "sub\\inner.txt", "inner");
    }
};

TEST_F(ExchangeTest, CopyThenPasteElsewhereAndIntoTheSameFolder) {
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    ASSERT_EQ(3, SelectOnly(gCore->panes[PANE_LEFT].list, {"x.txt", "y.txt", "sub"}));
    Activate(&gCore->panes[PANE_LEFT]);
    Command(CMD_CLIPBOARD_COPY);
    std::vector<std::string> expected = {left_ / "sub", left_ / "x.txt", left_ / "y.txt"};
    EXPECT_EQ(expected, ClipboardNames()) << "folders first, as listed";

    gCore->cancelFlag = 1; // an old Esc must not empty a pasted folder
    Activate(&gCore->panes[PANE_RIGHT]);
    CommandAndWait(CMD_CLIPBOARD_PASTE);
    EXPECT_EQ("left x.txt", ReadBytes(right_ / "x.txt"));
    EXPECT_EQ("inner", ReadBytes(right_ / "sub\\inner.txt"));
    EXPECT_GE(FindItem(gCore->panes[PANE_RIGHT].list, "x.txt"), 0) << "the active pane is relisted";

    // Into the folder the names came from: "コピー ～ " copies, made with force.
    Activate(&gCore->panes[PANE_LEFT]);
    CommandAndWait(CMD_CLIPBOARD_PASTE);
    EXPECT_EQ("left x.txt", ReadBytes(left_ / "コピー ～ x.txt"));
    EXPECT_EQ("inner", ReadBytes(left_ / "コピー ～ sub\\inner.txt"));
    EXPECT_TRUE(prompts_.calls().empty());
    EXPECT_EQ(expected, ClipboardNames()) << "the paste leaves the clipboard as it was";
    // The same folder under its short name is still the folder they came from:
    // the question is about the earlier copy, never about the source itself.
    char shortLeft[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(left_.path().c_str(), shortLeft, MAX_PATH), 0u);
    ASSERT_NE(left_.path(), shortLeft);
    PutOnClipboard(CF_HDROP, BlockOf({left_ / "y.txt"}));
    EXPECT_EQ(1, PasteFromClipboard(main_->window(), shortLeft, WindowWalkSink()));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("コピー ～ y.txt", prompts_.calls()[0].conflictName);
    PutOnClipboard(CF_HDROP, BlockOf(expected));

    // An empty selection empties the clipboard.
    SelectOnly(gCore->panes[PANE_LEFT].list, {});
    Command(CMD_CLIPBOARD_COPY);
    EXPECT_TRUE(ClipboardNames().empty());
}

TEST_F(ExchangeTest, ConflictsAskAndEachButtonDoesItsOwn) {
    for (const char* name : {"x.txt", "y.txt", "z.txt"}) {
        WriteBytes(right_ / name, "right, newer");
        SetWriteTime(left_ / name, 10);
        SetWriteTime(right_ / name, 20);
    }
    // Two "w.txt" from two folders: the second is asked about too.
    WriteBytes(left_ / "w.txt", "first w");
    CreateDirectoryA((left_ / "again").c_str(), nullptr);
    WriteBytes(left_ / "again\\w.txt", "second w");
    PutOnClipboard(CF_HDROP, BlockOf({left_ / "x.txt", left_ / "y.txt", left_ / "z.txt", left_ / "w.txt",
                                      left_ / "again\\w.txt"}));
    prompts_.Queue(IDC_OVERWRITE_COPY);
    prompts_.Queue(IDC_COPY_BY_DATE);
    prompts_.Queue(IDCANCEL);
    prompts_.Queue(IDCANCEL);
    std::vector<std::string> conflicts;
    prompts_.OnCall([&](const PromptCall& call) {
        if (call.dialog)
            conflicts.push_back(call.conflictName);
    });
    EXPECT_EQ(5, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    ASSERT_EQ(4u, prompts_.calls().size());
    EXPECT_EQ((UINT)IDD_OVERWRITE, prompts_.calls()[0].type);
    EXPECT_EQ((std::vector<std::string>{"x.txt", "y.txt", "z.txt", "w.txt"}), conflicts);
    EXPECT_EQ("first w", ReadBytes(right_ / "w.txt"));
    EXPECT_EQ("left x.txt", ReadBytes(right_ / "x.txt")) << "overwrite copy";
    EXPECT_EQ("right, newer", ReadBytes(right_ / "y.txt")) << "by date: the newer stays";
    EXPECT_EQ("right, newer", ReadBytes(right_ / "z.txt")) << "cancel skips";
}

TEST_F(ExchangeTest, PasteKeepsItsOwnListWhenTheClipboardChanges) {
    WriteBytes(right_ / "x.txt", "old");
    PutOnClipboard(CF_HDROP, BlockOf({left_ / "x.txt", left_ / "y.txt", left_ / "z.txt"}));
    // While the question is open, the clipboard is emptied under the paste.
    prompts_.OnCall([](const PromptCall& call) {
        if (call.dialog)
            EmptyClipboard();
    });
    prompts_.Queue(IDCANCEL);
    EXPECT_EQ(3, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    EXPECT_EQ("left y.txt", ReadBytes(right_ / "y.txt"));
    EXPECT_EQ("left z.txt", ReadBytes(right_ / "z.txt"));
}

TEST_F(ExchangeTest, TextOrABrokenBlockIsNoFileList) {
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    memcpy(GlobalLock(text), "hello", 6);
    GlobalUnlock(text);
    PutOnClipboard(CF_TEXT, text);
    Activate(&gCore->panes[PANE_RIGHT]);
    CommandAndWait(CMD_CLIPBOARD_PASTE);
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("Clipbord Open Error", prompts_.calls()[0].text);
    EXPECT_EQ("Copy & Paste", prompts_.calls()[0].caption);
    EXPECT_TRUE(OpenClipboard(nullptr)) << "the clipboard was left closed";
    CloseClipboard();

    // pFiles pointing past the end, and a list without its double NUL.
    HGLOBAL bad = BlockOf({left_ / "x.txt"});
    unsigned char* bytes = (unsigned char*)GlobalLock(bad);
    bytes[0] = 200;
    GlobalUnlock(bad);
    PutOnClipboard(CF_HDROP, bad);
    EXPECT_EQ(-1, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    HGLOBAL open = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 28);
    bytes = (unsigned char*)GlobalLock(open);
    bytes[0] = 20;
    memcpy(bytes + 20, "C:\\abcde", 8);
    GlobalUnlock(open);
    PutOnClipboard(CF_HDROP, open);
    EXPECT_EQ(-1, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    EXPECT_EQ(3u, prompts_.calls().size());
    EXPECT_FALSE(Exists(right_ / "x.txt"));
}

// Another program's relative names mean nothing here: they are not read
// from the folder the program happens to stand in.
TEST_F(ExchangeTest, RelativeNamesAreSaidAndSkipped) {
    char before[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    ASSERT_TRUE(SetCurrentDirectoryA(left_.path().c_str()));
    PutOnClipboard(CF_HDROP, BlockOf({"x.txt", "sub", left_ / "y.txt"}));
    EXPECT_EQ(3, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    FileDataObject* data = DataWith(BlockOf({"z.txt"}));
    DropNow(data);
    data->Release();
    SetCurrentDirectoryA(before);
    EXPECT_FALSE(Exists(right_ / "x.txt"));
    EXPECT_FALSE(Exists(right_ / "sub"));
    EXPECT_FALSE(Exists(right_ / "z.txt"));
    EXPECT_EQ("left y.txt", ReadBytes(right_ / "y.txt")) << "a full name beside them is copied";
    std::vector<std::string> said;
    for (const auto& call : prompts_.calls())
        said.push_back(call.caption + ": " + call.text);
    ASSERT_GE(said.size(), 3u);
    EXPECT_EQ("CopyZ File ERROR: x.txt\r\n完全なパスでない項目はコピーできません", said[0]);
    EXPECT_EQ("CopyZ File ERROR: sub\r\n完全なパスでない項目はコピーできません", said[1]);
    EXPECT_EQ("CopyZ File ERROR: z.txt\r\n完全なパスでない項目はコピーできません", said[2]);
}

TEST_F(ExchangeTest, CapsSayWhatTheyLeftOut) {
    std::vector<std::string> names;
    for (int i = 0; i < 105; i++) {
        names.push_back("n" + std::to_string(1000 + i));
        WriteBytes(left_ / names.back(), "");
    }
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    SelectOnly(gCore->panes[PANE_LEFT].list, names);
    Activate(&gCore->panes[PANE_LEFT]);
    Command(CMD_CLIPBOARD_COPY);
    std::vector<std::string> taken = ClipboardNames();
    ASSERT_EQ(100u, taken.size());
    EXPECT_EQ(left_ / "n1000", taken[0]);
    EXPECT_EQ(left_ / "n1099", taken[99]);
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_NE(std::string::npos, prompts_.calls()[0].text.find("5"));
}

TEST_F(ExchangeTest, NoPasteOrDropIntoItself) {
    PutOnClipboard(CF_HDROP, BlockOf({left_ / "sub"}));
    std::string inside = left_ / "sub\\";
    EXPECT_EQ(1, PasteFromClipboard(main_->window(), inside.c_str(), WindowWalkSink()));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ Folder ERROR", prompts_.calls()[0].caption);
    EXPECT_FALSE(Exists(left_ / "sub\\sub"));

    strcpy(gCore->panes[PANE_RIGHT].path, inside.c_str());
    FileDataObject* data = DataWith(BlockOf({left_ / "sub", left_ / "x.txt"}));
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DropNow(data));
    data->Release();
    EXPECT_EQ(2u, prompts_.calls().size());
    EXPECT_FALSE(Exists(left_ / "sub\\sub"));
    EXPECT_EQ("left x.txt", ReadBytes(left_ / "sub\\x.txt")) << "the other entry is copied";
}

TEST_F(ExchangeTest, DropCopiesIntoTheRightPaneByTheDateRule) {
    WriteBytes(right_ / "y.txt", "right, newer");
    SetWriteTime(left_ / "y.txt", 1);
    SetWriteTime(right_ / "y.txt", 2);
    Activate(&gCore->panes[PANE_LEFT]);
    gCore->cancelFlag = 1;
    FileDataObject* data = DataWith(BlockOf({left_ / "x.txt", left_ / "y.txt", left_ / "sub"}));
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DropNow(data));
    data->Release();
    EXPECT_EQ("left x.txt", ReadBytes(right_ / "x.txt"));
    EXPECT_EQ("right, newer", ReadBytes(right_ / "y.txt"));
    EXPECT_EQ("inner", ReadBytes(right_ / "sub\\inner.txt"));
    EXPECT_EQ(&gCore->panes[PANE_RIGHT], ActivePane()) << "the right pane becomes active";
    EXPECT_GE(FindItem(gCore->panes[PANE_RIGHT].list, "x.txt"), 0);
    EXPECT_TRUE(prompts_.calls().empty());

    // Text can be dragged over, but dropping it copies nothing.
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    FileDataObject* words = DataWith(text, CF_TEXT);
    DWORD effect = DROPEFFECT_COPY;
    POINTL at = {1, 1};
    gDropTarget->DragEnter(words, MK_LBUTTON, at, &effect);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, effect);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropNow(words));
    words->Release();

    // The drop target's own answers: counts that never free it.
    ULONG up = gDropTarget->AddRef();
    EXPECT_EQ(up - 1, gDropTarget->Release());
    IDataObject* wrong = (IDataObject*)1;
    EXPECT_EQ(E_NOINTERFACE, gDropTarget->QueryInterface(IID_IDataObject, (void**)&wrong));
    EXPECT_EQ(nullptr, wrong);
}

TEST_F(ExchangeTest, SeventyDroppedFiftyCopiedAndSaid) {
    std::vector<std::string> names;
    for (int i = 0; i < 70; i++) {
        names.push_back(left_ / ("d" + std::to_string(100 + i) + ".txt"));
        WriteBytes(names.back(), "d");
    }
    FileDataObject* data = DataWith(BlockOf(names));
    DropNow(data);
    data->Release();
    int copied = 0;
    for (int i = 0; i < 70; i++)
        copied += Exists(right_ / ("d" + std::to_string(100 + i) + ".txt"));
    EXPECT_EQ(50, copied);
    EXPECT_TRUE(Exists(right_ / "d149.txt"));
    EXPECT_FALSE(Exists(right_ / "d150.txt"));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_NE(std::string::npos, prompts_.calls()[0].text.find("20"));
}

TEST_F(ExchangeTest, DropOnMyComputerOrDuringAJob) {
    for (int i = 0; i < 50; i++)
        WriteBytes(left_ / ("j" + std::to_string(i) + ".txt"), std::string(5000, 'j'));
    Command(CMD_LEFT_COPY_FOLDER);
    FileDataObject* data = DataWith(BlockOf({left_ / "x.txt"}));
    DropNow(data);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }, 30000));
    EXPECT_EQ("left x.txt", ReadBytes(right_ / "x.txt"));
    EXPECT_EQ(5000u, ReadBytes(right_ / "j49.txt").size());

    // A broken block from another program is refused before a name is read.
    WriteBytes(left_ / "late.txt", "late");
    HGLOBAL broken = BlockOf({left_ / "late.txt"});
    ((unsigned char*)GlobalLock(broken))[0] = 250;
    GlobalUnlock(broken);
    FileDataObject* bad = DataWith(broken);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropNow(bad));
    bad->Release();
    EXPECT_FALSE(Exists(right_ / "late.txt"));

    // A right pane showing My Computer takes no drop; neither pane there gives
    // or takes the clipboard, nor starts a drag, and none of it asks anything.
    size_t asked = prompts_.calls().size();
    Command(CMD_RIGHT_MY_COMPUTER);
    DeleteFileA((right_ / "x.txt").c_str());
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropNow(data));
    data->Release();
    EXPECT_FALSE(Exists(right_ / "x.txt"));
    PutOnClipboard(CF_HDROP, BlockOf({left_ / "x.txt"}));
    Activate(&gCore->panes[PANE_RIGHT]);
    SelectOnly(gCore->panes[PANE_RIGHT].list, {});
    LVITEMA all = {};
    all.stateMask = all.state = LVIS_SELECTED;
    SendMessageA(gCore->panes[PANE_RIGHT].list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&all);
    CommandAndWait(CMD_CLIPBOARD_PASTE);
    Command(CMD_CLIPBOARD_COPY);
    DragFromList(main_->window(), &gCore->panes[PANE_RIGHT]);
    EXPECT_EQ(std::vector<std::string>{left_ / "x.txt"}, ClipboardNames()) << "the clipboard is left alone";
    EXPECT_EQ("マイコンピュータでは使えません", StatusText(gCore->statusBar, 0));
    EXPECT_EQ(asked, prompts_.calls().size());
}
