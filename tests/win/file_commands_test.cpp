// The copy, delete and move commands in a main window of the test process,
// on real files in temporary folders.
#include "app/command_path.h"
#include "app/status_text.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "app/app_state.h"
#include "app/delete_confirm.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "base/prompts.h"
#include "core/filer_core.h"
#include "fileops/file_commands.h"
#include "fileops/progress.h"
#include "fileops/selection.h"
#include "fileops/worker_job.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

class FileCommandsTest : public TwoPaneTest {
  protected:
    void SetUp() override {
        TwoPaneTest::SetUp();
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override {
        SetEvent(release_);
        TwoPaneTest::TearDown();
        CloseHandle(release_);
    }
    void Show(Pane* pane, const std::string& folder) {
        strcpy(pane->path, folder.c_str());
        ListFolder(pane->list, pane->path);
    }
    std::string Status(int part) { return StatusText(gCore->statusBar, part); }
    std::vector<std::string> Captions() const { return prompts_.captions(); }
    // The next "CopyZ File ERROR" on the worker waits until release_ is set,
    // so the test can act while a job is certainly running.
    void HoldJobAtCopyError() {
        prompts_.OnCall([this](const PromptCall& call) {
            if (call.caption == "CopyZ File ERROR") {
                held_ = 1;
                WaitForSingleObject(release_, 20000);
            }
        });
    }
    // A destination that fails to be written: older and held open without sharing.
    HANDLE MakeFailingDestination(const std::string& name) {
        WriteBytes(left_ / name, "new");
        WriteBytes(right_ / name, "old");
        SetWriteTime(right_ / name, 1);
        return CreateFileA((right_ / name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    HANDLE release_ = nullptr;
    volatile LONG held_ = 0;
};

TEST_F(FileCommandsTest, CopySelectedCopiesTheSelectionAndRelistsTheDestination) {
    WriteBytes(left_ / "a.txt", "a");
    WriteBytes(left_ / "b.txt", "b");
    CreateDirectoryA((left_ / "c").c_str(), nullptr);
    WriteBytes(left_ / "c\\inner.txt", "i");
    Relist();
    ASSERT_EQ(2, SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt", "c"}));
    // An Esc from before the job has no effect on it.
    gCore->cancelFlag = 1;
    Command(CMD_LEFT_COPY_SELECTED);
    // The worker leaves its progress texts for the window: it ends even while
    // this thread handles no message.
    MSG done;
    for (DWORD start = GetTickCount();
         !PeekMessageA(&done, main_->window(), MSG_JOB_DONE, MSG_JOB_DONE, PM_NOREMOVE); Sleep(10))
        ASSERT_LT(GetTickCount() - start, 20000u);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("a", ReadBytes(right_ / "a.txt"));
    EXPECT_EQ("i", ReadBytes(right_ / "c\\inner.txt"));
    EXPECT_FALSE(Exists(right_ / "b.txt"));
    EXPECT_EQ("Copy End", Status(0));
    // Folders are listed first, so a.txt is the last one copied.
    EXPECT_EQ(right_ / "a.txt", Status(1));
    EXPECT_GE(FindItem(gCore->panes[PANE_RIGHT].list, "a.txt"), 0) << "the destination pane is relisted";
    EXPECT_TRUE(prompts_.calls().empty());

    // Whole folder, the other way: whatever is selected.
    WriteBytes(right_ / "r.txt", "r");
    Command(CMD_RIGHT_COPY_FOLDER);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("r", ReadBytes(left_ / "r.txt"));
    EXPECT_GE(FindItem(gCore->panes[PANE_LEFT].list, "r.txt"), 0);
}

TEST_F(FileCommandsTest, CopyIntoItselfIsRefusedBeforeAnything) {
    CreateDirectoryA((left_ / "sub").c_str(), nullptr);
    WriteBytes(left_ / "sub\\x.txt", "x");
    WriteBytes(left_ / "top.txt", "t");
    Relist();
    Show(&gCore->panes[PANE_RIGHT], left_ / "SUB\\");
    Command(CMD_LEFT_COPY_FOLDER);
    EXPECT_FALSE(JobRunning());
    ASSERT_EQ(1, CountCaption("CopyZ Folder ERROR"));
    EXPECT_FALSE(Exists(left_ / "sub\\top.txt"));

    // The selected folder itself into its own subfolder.
    Show(&gCore->panes[PANE_RIGHT], left_ / "sub\\");
    ASSERT_EQ(2, SelectOnly(gCore->panes[PANE_LEFT].list, {"top.txt", "sub"}));
    Command(CMD_LEFT_COPY_SELECTED);
    EXPECT_FALSE(JobRunning());
    EXPECT_EQ(2, CountCaption("CopyZ Folder ERROR"));
    EXPECT_FALSE(Exists(left_ / "sub\\sub"));
    EXPECT_FALSE(Exists(left_ / "sub\\top.txt"));

    // The same folder in both panes is no copy into itself: nothing to do.
    Show(&gCore->panes[PANE_RIGHT], left_.path());
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("Copy End", Status(0));
    EXPECT_EQ(2u, prompts_.calls().size());
}

TEST_F(FileCommandsTest, PermanentDeleteAsksThenDeletesInTheWorker) {
    CreateDirectoryA((left_ / "tree").c_str(), nullptr);
    WriteBytes(left_ / "tree\\f.txt", "x");
    SetFileAttributesA((left_ / "tree\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteBytes(left_ / "stay.txt", "x");
    WriteBytes(right_ / "other.txt", "x");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"tree"});
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    prompts_.Queue(1);
    Command(CMD_DELETE);
    ASSERT_TRUE(WaitForJob());
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("tree\r\n", prompts_.calls()[0].names);
    EXPECT_FALSE(Exists(left_ / "tree"));
    EXPECT_TRUE(Exists(left_ / "stay.txt"));
    EXPECT_EQ("Delete End", Status(0));
    EXPECT_EQ(-1, FindItem(gCore->panes[PANE_LEFT].list, "tree"));
}

TEST_F(FileCommandsTest, TheDialogsItemsAreTheItemsDeleted) {
    WriteBytes(left_ / "asked.txt", "x");
    WriteBytes(left_ / "clicked.txt", "x");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"asked.txt"});
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    // While the dialog is open the user clicks another item, and the pane is relisted.
    prompts_.OnCall([this](const PromptCall& call) {
        if (call.dialog) {
            SelectOnly(gCore->panes[PANE_LEFT].list, {"clicked.txt"});
            ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
            SelectOnly(gCore->panes[PANE_LEFT].list, {"clicked.txt"});
            // Commands are refused while the question is open.
            Command(CMD_LEFT_COPY_FOLDER);
            EXPECT_FALSE(JobRunning());
        }
    });
    prompts_.Queue(1);
    Command(CMD_DELETE);
    ASSERT_TRUE(WaitForJob());
    EXPECT_FALSE(Exists(left_ / "asked.txt"));
    EXPECT_TRUE(Exists(left_ / "clicked.txt"));
    EXPECT_FALSE(Exists(right_ / "clicked.txt")) << "no copy ran during the question";
}

TEST_F(FileCommandsTest, MoveFailsPerItemAndGoesOn) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        WriteBytes(left_ / name, std::string("left ") + name);
    WriteBytes(right_ / "b.txt", "right b");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt", "b.txt", "c.txt"});
    // A stale Esc doesn't stop a move.
    gCore->cancelFlag = 1;
    // A second move while the error box is open is refused, not run inside it.
    prompts_.OnCall([this](const PromptCall&) { Command(CMD_LEFT_MOVE); });
    CommandAndWait(CMD_LEFT_MOVE);
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("Move File ERROR", prompts_.calls()[0].caption);
    EXPECT_EQ(left_ / "b.txt", prompts_.calls()[0].text);
    EXPECT_EQ("left a.txt", ReadBytes(right_ / "a.txt"));
    EXPECT_EQ("left c.txt", ReadBytes(right_ / "c.txt"));
    EXPECT_EQ("right b", ReadBytes(right_ / "b.txt"));
    EXPECT_EQ("left b.txt", ReadBytes(left_ / "b.txt"));
    EXPECT_FALSE(Exists(left_ / "a.txt"));
    EXPECT_EQ("Move End", Status(0));
    EXPECT_GE(FindItem(gCore->panes[PANE_RIGHT].list, "c.txt"), 0);
    EXPECT_EQ(-1, FindItem(gCore->panes[PANE_LEFT].list, "c.txt"));
}

TEST_F(FileCommandsTest, MyComputerIsNeitherSourceNorDestination) {
    WriteBytes(left_ / "a.txt", "a");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt"});
    Command(CMD_RIGHT_MY_COMPUTER);
    ASSERT_EQ('\0', gCore->panes[PANE_RIGHT].path[0]);
    // A drive chosen there: the delete has something to refuse.
    SelectOnly(gCore->panes[PANE_RIGHT].list, {ItemText(gCore->panes[PANE_RIGHT].list, 0, 0)});
    for (int command : {CMD_LEFT_COPY_SELECTED, CMD_LEFT_COPY_FOLDER, CMD_RIGHT_COPY_FOLDER, CMD_LEFT_MOVE,
                        CMD_RIGHT_MOVE, CMD_RIGHT_DELETE}) {
        SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "");
        Command(command);
        EXPECT_FALSE(JobRunning()) << command;
        EXPECT_EQ("マイコンピュータでは使えません", Status(0)) << command;
    }
    EXPECT_TRUE(prompts_.calls().empty());
    EXPECT_TRUE(Exists(left_ / "a.txt"));
}

TEST_F(FileCommandsTest, EscStopsACopyBetweenFiles) {
    const int total = 200;
    for (int i = 0; i < total; i++)
        WriteBytes(left_ / ("f" + std::to_string(i) + ".txt"), std::string(2000, 'x'));
    // The third file the walk meets can't be read; Esc is pressed while its
    // message is open, so the job stops right after it.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((left_ / "*.*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    std::vector<std::string> order;
    do {
        if (found.cFileName[0] != '.')
            order.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_EQ((size_t)total, order.size());
    HANDLE hold =
        CreateFileA((left_ / order[2]).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    prompts_.OnCall([](const PromptCall&) { InterlockedExchange(&gCore->cancelFlag, 1); });
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(WaitForJob());
    CloseHandle(hold);
    EXPECT_EQ(1, CountCaption("CopyZ File ERROR"));
    int copied = 0;
    for (int i = 0; i < total; i++)
        copied += Exists(right_ / ("f" + std::to_string(i) + ".txt"));
    EXPECT_EQ(2, copied) << "the two files before the held one, nothing after it";
    EXPECT_EQ(copied, ItemCount(gCore->panes[PANE_RIGHT].list))
        << "the destination pane shows what was copied";
    EXPECT_EQ("Copy End", Status(0));
    for (int i = 0; i < total; i++) {
        std::string copy = right_ / ("f" + std::to_string(i) + ".txt");
        if (Exists(copy)) {
            EXPECT_EQ(2000u, ReadBytes(copy).size()) << "the file under way is finished";
        }
    }
}

// A progress text left from another thread than the window's, as the worker leaves it.
static void LeaveFromWorker(int part, const char* text) {
    std::thread([=] { ShowProgress(part, text); }).join();
}
// The status bar, where the worker leaves part 1's next text while part 0's is shown.
static WNDPROC gBarProc;
static LRESULT CALLBACK LeaveWhileShown(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == SB_SETTEXTA && wParam == 0)
        LeaveFromWorker(1, "last.txt");
    return CallWindowProcA(gBarProc, bar, message, wParam, lParam);
}

TEST_F(FileCommandsTest, DuringAJobOthersAreRefusedAndItsSelectionHolds) {
    HANDLE hold = MakeFailingDestination("a.txt");
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    WriteBytes(left_ / "b.txt", "b");
    WriteBytes(left_ / "c.txt", "c");
    TempFolder elsewhere;
    WriteBytes(elsewhere / "b.txt", "wrong b");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt", "b.txt"});
    HoldJobAtCopyError();
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(PumpUntil([this] { return held_ != 0; }));

    // A second job is refused and leaves the record alone. A text the worker
    // left before the refusal never comes back over it; one left after it
    // waits until the refusal could be read.
    LeaveFromWorker(0, "before");
    Command(CMD_RIGHT_COPY_FOLDER);
    LeaveFromWorker(0, "after");
    ShowPendingProgress(0); // as the window's timer does
    EXPECT_EQ("処理中です", Status(0));
    EXPECT_TRUE(PumpUntil([this] { return Status(0) == "after"; }, 3000));
    // What the worker leaves while the window shows its texts is shown next.
    LeaveFromWorker(0, "folder");
    LeaveFromWorker(1, "older.txt");
    gBarProc = (WNDPROC)SetWindowLongPtrA(gCore->statusBar, GWLP_WNDPROC, (LONG_PTR)LeaveWhileShown);
    ShowPendingProgress(1);
    SetWindowLongPtrA(gCore->statusBar, GWLP_WNDPROC, (LONG_PTR)gBarProc);
    ShowPendingProgress(1);
    EXPECT_EQ("last.txt", Status(1));
    EXPECT_EQ(JOB_COPY_SELECTION, gWorkerJob.kind);
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    Command(CMD_DELETE);
    EXPECT_EQ("処理中です", Status(0));
    // Held down, the Delete key is refused once a press, not at each pass of the poll.
    BYTE keys[256] = {};
    for (int pass = 0; pass < 9; pass++) {
        keys[VK_DELETE] = pass % 4 ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "");
        PollKeyboard(), PumpMessages(5);
        EXPECT_EQ(pass % 4 == 1 ? "処理中です" : "", Status(0)) << pass;
    }

    // Nothing that would change the job's folders runs beside it, and each
    // refusal is told to the hook too.
    static std::vector<WORD> told;
    SetRefusalHook([](WORD command, const char*) { told.push_back(command); });
    auto refused = [&](int command) {
        SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "");
        told.clear();
        Command(command);
        return Status(0) == "処理中です" && told == std::vector<WORD>{(WORD)command};
    };
    for (int command : {CMD_LEFT_DELETE, CMD_LEFT_MOVE, CMD_LEFT_NEW_FOLDER, CMD_RIGHT_NEW_FOLDER}) {
        SelectOnly(gCore->panes[PANE_LEFT].list, {"c.txt"});
        EXPECT_TRUE(refused(command)) << command;
    }
    EXPECT_EQ("c", ReadBytes(left_ / "c.txt"));
    EXPECT_FALSE(Exists(left_ / "新しいフォルダ") || Exists(right_ / "新しいフォルダ"));
    EXPECT_EQ(nullptr, (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA,
                                          FindItem(gCore->panes[PANE_LEFT].list, "c.txt"), 0))
        << "no rename opens in the job's source";

    // The source pane is relisted elsewhere and reselected: the job keeps its own items.
    SelectOnly(gCore->panes[PANE_LEFT].list, {"c.txt"});
    Show(&gCore->panes[PANE_LEFT], elsewhere.path());
    SelectOnly(gCore->panes[PANE_LEFT].list, {"b.txt"});
    // A paste into the destination waits; a new folder elsewhere doesn't.
    Command(CMD_CLIPBOARD_COPY);
    MakePaneActive(&gCore->panes[PANE_RIGHT]);
    EXPECT_TRUE(refused(CMD_CLIPBOARD_PASTE));
    EXPECT_FALSE(Exists(right_ / "b.txt"));
    EXPECT_FALSE(refused(CMD_LEFT_NEW_FOLDER));
    EXPECT_TRUE(Exists(elsewhere / "新しいフォルダ"));
    // Nor is the job's source folder sent away from its parent's pane.
    std::string source = left_.path().substr(0, left_.path().size() - 1);
    std::string parent = source.substr(0, source.rfind('\\') + 1);
    Show(&gCore->panes[PANE_RIGHT], parent);
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_RIGHT].list, {source.substr(parent.size())}));
    EXPECT_TRUE(refused(CMD_RIGHT_DELETE));
    // However the job's folder is spelt.
    char shortForm[MAX_PATH] = "";
    GetShortPathNameA(left_.path().c_str(), shortForm, MAX_PATH);
    for (const std::string& spelling : {"\\\\?\\" + left_.path(), std::string(shortForm)}) {
        Show(&gCore->panes[PANE_RIGHT], spelling);
        ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_RIGHT].list, {"c.txt"})) << spelling;
        EXPECT_TRUE(refused(CMD_RIGHT_DELETE)) << spelling;
    }
    EXPECT_TRUE(Exists(left_ / "c.txt"));
    Show(&gCore->panes[PANE_RIGHT], right_.path());
    SelectOnly(gCore->panes[PANE_LEFT].list, {"b.txt"});
    SetEvent(release_);
    ASSERT_TRUE(WaitForJob());
    CloseHandle(hold);
    EXPECT_EQ("b", ReadBytes(right_ / "b.txt"));
    EXPECT_FALSE(Exists(right_ / "c.txt"));
    EXPECT_EQ(1, CountCaption("CopyZ File ERROR"));
    EXPECT_EQ("Copy End", Status(0));
    EXPECT_TRUE(Exists(elsewhere / "b.txt")) << "no delete ran";
    SetRefusalHook(nullptr);
}

// A paste is a job: the window goes on while it copies, and what it reads
// can't be renamed from under it, while beside it a new folder is made.
TEST_F(FileCommandsTest, APasteIsAJobAndHoldsWhatItReads) {
    HANDLE hold = MakeFailingDestination("a.txt");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt"});
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    Command(CMD_CLIPBOARD_COPY);
    HoldJobAtCopyError();
    prompts_.Queue(IDC_COPY_BY_DATE);
    MakePaneActive(&gCore->panes[PANE_RIGHT]);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    PollKeyboard();
    Command(CMD_CLIPBOARD_PASTE);
    ASSERT_TRUE(PumpUntil([this] { return held_ != 0; }));
    EXPECT_EQ(JOB_PASTE, gWorkerJob.kind);
    // The Esc that closed the paste's last question, still down as the job
    // starts, doesn't stop it; a new press does.
    keys[VK_ESCAPE] = 0x80;
    SetKeyboardState(keys);
    PollKeyboard();
    EXPECT_EQ(0, gCore->cancelFlag);
    for (BYTE state : {0, 0x80}) {
        keys[VK_ESCAPE] = state;
        SetKeyboardState(keys);
        PollKeyboard();
    }
    EXPECT_EQ(1, gCore->cancelFlag);
    keys[VK_ESCAPE] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(nullptr, (HWND)SendMessageA(gCore->panes[PANE_LEFT].list, LVM_EDITLABELA,
                                          FindItem(gCore->panes[PANE_LEFT].list, "a.txt"), 0));
    Command(CMD_LEFT_NEW_FOLDER);
    EXPECT_TRUE(Exists(left_ / "新しいフォルダ"));
    SetEvent(release_);
    ASSERT_TRUE(WaitForJob());
    CloseHandle(hold);
    EXPECT_EQ("Copy End", Status(0));
    EXPECT_EQ(1, CountCaption("CopyZ File ERROR"));
}

// Answers the shell's own question, whether to delete for good what it can't
// recycle, with No as a user would: from another thread, while it is open.
static BOOL CALLBACK FindOwnQuestion(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (process != GetCurrentProcessId() || strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) ||
        !GetDlgItem(window, IDNO))
        return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

static DWORD WINAPI AnswerTheShellNo(LPVOID) {
    for (int i = 0; i < 400; i++, Sleep(50)) {
        HWND box = nullptr;
        EnumWindows(FindOwnQuestion, (LPARAM)&box);
        if (box) {
            PostMessageA(box, WM_COMMAND, IDNO, 0);
            return 1;
        }
    }
    return 0;
}

// A recycle the shell gives up is said, not passed over as done.
TEST_F(FileCommandsTest, ARecycleTheShellGivesUpIsSaid) {
    WriteBytes(left_ / "gone.txt", "x");
    Relist();
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"gone.txt"}));
    ASSERT_TRUE(DeleteFileA((left_ / "gone.txt").c_str()));
    HANDLE answer = CreateThread(nullptr, 0, AnswerTheShellNo, nullptr, 0, nullptr);
    CommandAndWait(CMD_LEFT_DELETE);
    DWORD answered = 0;
    // The shell asks from the job, its question owned by the window.
    PumpUntil([&] { return WaitForSingleObject(answer, 0) == WAIT_OBJECT_0; }, 30000);
    WaitForJob();
    GetExitCodeThread(answer, &answered);
    CloseHandle(answer);
    EXPECT_EQ(1u, answered) << "the shell asked whether to delete it for good";
    EXPECT_EQ(1, CountCaption("ゴミ箱へ移動できませんでした")) << ::testing::PrintToString(Captions());
}

TEST_F(FileCommandsTest, ListingsDuringADeepCopyDontDisturbIt) {
    std::string folder = left_.path();
    std::vector<std::string> files;
    for (int depth = 0; depth < 6; depth++) {
        for (int i = 0; i < 8; i++) {
            std::string name = folder + "f" + std::to_string(i) + ".txt";
            WriteBytes(name, name);
            files.push_back(name.substr(left_.path().size()));
        }
        folder += "d" + std::to_string(depth) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    TempFolder a, b;
    WriteBytes(a / "noise.txt", "n");
    Command(CMD_LEFT_COPY_FOLDER);
    // Each listing makes its folder current; the copy must not care.
    int listings = 0;
    while (JobRunning()) {
        Show(&gCore->panes[PANE_LEFT], (listings++ % 2) ? a.path() : b.path());
        PumpMessages(1);
    }
    EXPECT_GT(listings, 0);
    for (const std::string& file : files)
        EXPECT_EQ(left_.path() + file, ReadBytes(right_ / file)) << file;
    EXPECT_FALSE(Exists(right_ / "noise.txt"));
    EXPECT_TRUE(prompts_.calls().empty());
}

// No close from inside a drag; a job that ends inside the About box closes
// the window once the box has gone.
TEST_F(FileCommandsTest, ClosingDuringAJobCancelsItAndClosesAfterwards) {
    HANDLE hold = MakeFailingDestination("a.txt");
    for (int i = 0; i < 20; i++)
        WriteBytes(left_ / ("z" + std::to_string(i) + ".txt"), "z");
    HWND window = Main();
    BeginHoldingMessages(); // as a drag out of a pane does
    SendMessageA(window, WM_CLOSE, 0, 0);
    EndHoldingMessages();
    HoldJobAtCopyError();
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(PumpUntil([this] { return held_ != 0; }));
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window)) << "the window waits for its job";
    EXPECT_EQ(1, gCore->cancelFlag);
    bool stayed = false;
    prompts_.OnCall([&](const PromptCall&) { // the About box
        SetEvent(release_);
        stayed = PumpUntil([] { return !JobRunning(); }) && (PumpMessages(300), IsWindow(window));
    });
    Command(CMD_ABOUT);
    EXPECT_TRUE(stayed);
    ASSERT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
    EXPECT_FALSE(JobRunning());
    CloseHandle(hold);
}

TEST_F(FileCommandsTest, ManyJobsInARowEachEnd) {
    WriteBytes(left_ / "one.txt", "1");
    for (int i = 0; i < 40; i++) {
        Command(i % 2 ? CMD_LEFT_COPY_FOLDER : CMD_RIGHT_COPY_FOLDER);
        ASSERT_TRUE(WaitForJob()) << "job " << i << " never ended";
    }
    EXPECT_EQ("1", ReadBytes(right_ / "one.txt"));
}

// The recycle bin of the build's own Wine set-up: $XDG_DATA_HOME/Trash/files.
static std::string TrashFolder() {
    std::string data = FolderFromEnvironment("XDG_DATA_HOME");
    return data.empty() ? "" : data + "Trash\\files\\";
}

TEST_F(FileCommandsTest, RecycleBinTakesFilesAndTrees) {
    std::string trash = TrashFolder();
    if (trash.empty())
        GTEST_SKIP() << "no XDG_DATA_HOME: the trash would be the user's own";
    std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    std::string file = "rb-file-" + tag + ".txt", tree = "rb-tree-" + tag;
    WriteBytes(left_ / file, "recycled");
    CreateDirectoryA((left_ / tree).c_str(), nullptr);
    WriteBytes(left_ / (tree + "\\inner.txt"), "inner");
    WriteBytes(left_ / "kept.txt", "k");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {file, tree});
    gCore->cancelFlag = 1; // an old Esc: no effect on the recycle job
    prompts_.Queue(1);
    CommandAndWait(CMD_LEFT_DELETE);
    ASSERT_TRUE(WaitForJob());
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_TRUE(prompts_.calls()[0].dialog);
    EXPECT_FALSE(Exists(left_ / file));
    EXPECT_FALSE(Exists(left_ / tree));
    EXPECT_TRUE(Exists(left_ / "kept.txt"));
    EXPECT_EQ("recycled", ReadBytes(trash + file));
    EXPECT_EQ("inner", ReadBytes(trash + tree + "\\inner.txt"));
    EXPECT_EQ("Delete End", Status(0));
    EXPECT_EQ(-1, FindItem(gCore->panes[PANE_LEFT].list, file));
    RemoveTree(trash + tree);
    DeleteFileA((trash + file).c_str());
}

TEST_F(FileCommandsTest, LongSelectionsAreCutAtAWholeName) {
    std::vector<std::string> names;
    for (int i = 0; i < 40; i++) {
        names.push_back(std::string(40, 'a' + i % 26) + std::to_string(i));
        WriteBytes(left_ / names.back(), "");
    }
    Relist();
    ASSERT_EQ(40, SelectOnly(gCore->panes[PANE_LEFT].list, names));
    char text[NAMES_BUFFER_SIZE];
    ASSERT_EQ(1, CollectSelectedNames(gCore->panes[PANE_LEFT].list, text));
    std::string shown = text;
    EXPECT_LT(shown.size(), (size_t)NAMES_BUFFER_SIZE);
    size_t last = shown.rfind("... (+");
    ASSERT_NE(std::string::npos, last);
    int listed = 0;
    for (size_t at = 0; at < last; at = shown.find("\r\n", at) + 2)
        listed++;
    EXPECT_EQ("... (+" + std::to_string(40 - listed) + ")\r\n", shown.substr(last));
    // Every listed line is a whole name.
    for (size_t at = 0; at < last;) {
        size_t end = shown.find("\r\n", at);
        std::string line = shown.substr(at, end - at);
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), line)) << line;
        at = end + 2;
    }
}
