// Copies that fail part-way must not cost the user the older copy.
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>

#include "app/window_sink.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "exchange/drop_target.h"
#include "exchange/exchange_commands.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

// The 1 MiB volume the test driver mounted, emptied for this test.
class FullVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char refused[512] = "";
        if (GetEnvironmentVariableA("BRENNIK_FULL_VOLUME_REFUSED", refused, sizeof refused))
            GTEST_SKIP() << "no small volume to fill: " << refused;
        volume_ = FolderFromEnvironment("BRENNIK_FULL_VOLUME");
        if (volume_.empty())
            GTEST_SKIP() << "no small volume to fill: the test driver mounts it (scripts/wine-env.sh)";
        for (const std::string& name : FolderEntries(volume_))
            RemoveTree(volume_ + name), DeleteFileA((volume_ + name).c_str());
    }
    std::string volume_;
    TempFolder source_;
    PromptRecorder prompts_;
};

TEST_F(FullVolumeTest, AFailingCopyKeepsTheOlderDestination) {
    std::string old(100 * 1024, 'o');
    WriteBytes(volume_ + "report.dat", old);
    SetWriteTime(volume_ + "report.dat", 10);
    ULONGLONG oldTime = WriteTimeOf(volume_ + "report.dat");
    WriteBytes(source_ / "report.dat", std::string(2 * 1024 * 1024, 'n')); // twice the volume
    SetWriteTime(source_ / "report.dat", 20);

    EXPECT_EQ(1, CopyTree((source_ / "report.dat").c_str(), (volume_ + "report.dat").c_str(), 0, nullptr,
                          WindowWalkSink()));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ File ERROR", prompts_.calls()[0].caption);
    EXPECT_EQ(volume_ + "report.dat", prompts_.calls()[0].text);
    EXPECT_TRUE(ReadBytes(volume_ + "report.dat") == old) << "the older copy survives byte for byte";
    EXPECT_EQ(oldTime, WriteTimeOf(volume_ + "report.dat")) << "and keeps its time, so the date rule retries";
    EXPECT_EQ(std::vector<std::string>{"report.dat"}, FolderEntries(volume_)) << "no temporary file is left";

    // A later update pass, once the file fits, copies it.
    WriteBytes(source_ / "report.dat", std::string(300 * 1024, 'm'));
    SetWriteTime(source_ / "report.dat", 30);
    CopyTree((source_ / "report.dat").c_str(), (volume_ + "report.dat").c_str(), 0, nullptr,
             WindowWalkSink());
    EXPECT_EQ(300u * 1024, ReadBytes(volume_ + "report.dat").size());
    EXPECT_EQ(WriteTimeOf(source_ / "report.dat"), WriteTimeOf(volume_ + "report.dat"));
    EXPECT_EQ(1u, prompts_.calls().size());
}

TEST_F(FullVolumeTest, ANewDestinationThatFailsIsNotLeftHalf) {
    WriteBytes(source_ / "big.dat", std::string(2 * 1024 * 1024, 'b'));
    CopyTree((source_ / "big.dat").c_str(), (volume_ + "big.dat").c_str(), 0, nullptr, WindowWalkSink());
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ File ERROR", prompts_.calls()[0].caption);
    EXPECT_TRUE(FolderEntries(volume_).empty()) << "nothing partial";
}

// Faults during jobs and hostile data from other programs, in a main window
// of the test process.
class FaultsTest : public TwoPaneTest {
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
    // The job stops in its first error box until release_ is set.
    void HoldJobAtFirstError() {
        prompts_.OnCall([this](const PromptCall& call) {
            if (!call.dialog && GetCurrentThreadId() != GetWindowThreadProcessId(main_->window(), nullptr) &&
                !held_) {
                held_ = 1;
                WaitForSingleObject(release_, 20000);
            }
        });
    }
    HANDLE FailingDestination(const std::string& name) {
        WriteBytes(left_ / name, "new");
        WriteBytes(right_ / name, "old");
        SetWriteTime(right_ / name, 1);
        return CreateFileA((right_ / name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    HANDLE release_ = nullptr;
    volatile LONG held_ = 0;
};

TEST_F(FaultsTest, ASourceThatDisappearsDuringTheJob) {
    HANDLE hold = FailingDestination("a.txt");
    WriteBytes(left_ / "b.txt", "b");
    WriteBytes(left_ / "c.txt", "c");
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"a.txt", "b.txt", "c.txt"});
    HoldJobAtFirstError();
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(PumpUntil([this] { return held_ != 0; }));
    DeleteFileA((left_ / "c.txt").c_str()); // gone before the job reaches it
    SetEvent(release_);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    CloseHandle(hold);
    EXPECT_EQ("b", ReadBytes(right_ / "b.txt"));
    EXPECT_FALSE(Exists(right_ / "c.txt")) << "nothing is made for a missing source";
    EXPECT_EQ(2, CountCaption("CopyZ File ERROR"));
    EXPECT_EQ("old", ReadBytes(right_ / "a.txt"));
    EXPECT_EQ(std::vector<std::string>({"a.txt", "b.txt"}), FolderEntries(right_.path()))
        << "no temporary file";
}

TEST_F(FaultsTest, PasteAndDropDuringAJobIntoTheSameFolder) {
    HANDLE hold = FailingDestination("a.txt");
    WriteBytes(left_ / "b.txt", "b");
    WriteBytes(left_ / "c.txt", "c");
    SetWriteTime(left_ / "b.txt", 5);
    Relist();
    HoldJobAtFirstError();
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(PumpUntil([this] { return held_ != 0; }));
    // While the job waits, the UI thread pastes b.txt (the paste itself, not
    // the command) and is dropped c.txt: the drop would write into the job's
    // destination, so it is refused and said; the job copies c.txt itself.
    const char* pasted[] = {nullptr};
    std::string b = left_ / "b.txt", c = left_ / "c.txt";
    pasted[0] = b.c_str();
    HGLOBAL block = BuildDropFiles(pasted, 1, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    EXPECT_EQ(1, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()));
    SetFilePath(&gDropTarget->DroppedPaths[0], c.c_str());
    PostMessageA(main_->window(), MSG_DROP_DONE, 1, 0);
    PumpMessages(100);
    EXPECT_FALSE(Exists(right_ / "c.txt"));
    EXPECT_EQ(1, CountCaption("Drag&Drop"));
    SetEvent(release_);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    CloseHandle(hold);
    EXPECT_EQ("b", ReadBytes(right_ / "b.txt"));
    EXPECT_EQ("c", ReadBytes(right_ / "c.txt"));
    EXPECT_EQ(WriteTimeOf(left_ / "b.txt"), WriteTimeOf(right_ / "b.txt"));
    EXPECT_EQ(1, CountCaption("CopyZ File ERROR")) << "only the held destination";
    EXPECT_EQ(std::vector<std::string>({"a.txt", "b.txt", "c.txt"}), FolderEntries(right_.path()));
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

TEST_F(FaultsTest, EscDuringUpdatesAndDeletesLeavesNothingHalf) {
    // Updates over older destinations go through temporary names: after an
    // Esc, none may be left, and every file is either old or whole and new.
    for (int i = 0; i < 120; i++) {
        std::string name = "u" + std::to_string(i) + ".dat";
        WriteBytes(left_ / name, std::string(8000, 'n'));
        WriteBytes(right_ / name, "old");
        SetWriteTime(right_ / name, 1);
    }
    SendMessageA(gCore->statusBar, SB_SETTEXTA, 1, (LPARAM) "");
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(PumpUntil([] { return !StatusText(gCore->statusBar, 1).empty() || !JobRunning(); }));
    InterlockedExchange(&gCore->cancelFlag, 1);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    int updated = 0;
    for (const std::string& name : FolderEntries(right_.path())) {
        ASSERT_NE('.', name[0]) << "a temporary file was left: " << name;
        std::string bytes = ReadBytes(right_ / name);
        ASSERT_TRUE(bytes == "old" || bytes.size() == 8000u) << name;
        updated += bytes.size() == 8000u;
    }
    EXPECT_GT(updated, 0);
    EXPECT_LT(updated, 120);

    // A permanent delete stopped by Esc: each file is gone or intact.
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    LVITEMA all = {};
    all.stateMask = all.state = LVIS_SELECTED;
    SendMessageA(gCore->panes[PANE_RIGHT].list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&all);
    MakePaneActive(&gCore->panes[PANE_RIGHT]);
    prompts_.Queue(1);
    SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "");
    Command(CMD_DELETE);
    ASSERT_TRUE(PumpUntil([] { return StatusText(gCore->statusBar, 0) != "" || !JobRunning(); }));
    InterlockedExchange(&gCore->cancelFlag, 1);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    size_t left = FolderEntries(right_.path()).size();
    EXPECT_LT(left, 120u);
    for (const std::string& name : FolderEntries(right_.path())) {
        std::string bytes = ReadBytes(right_ / name);
        EXPECT_TRUE(bytes == "old" || bytes.size() == 8000u) << name;
    }
}

TEST_F(FaultsTest, ClosingDuringACopyWritesTheSettingsAndLeavesNoPartialFile) {
    HANDLE hold = FailingDestination("a.txt");
    for (int i = 0; i < 30; i++)
        WriteBytes(left_ / ("z" + std::to_string(i) + ".dat"), std::string(4000, 'z'));
    HoldJobAtFirstError();
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(PumpUntil([this] { return held_ != 0; }));
    SendMessageA(main_->window(), WM_CLOSE, 0, 0);
    SetEvent(release_);
    HWND window = main_->window();
    ASSERT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
    CloseHandle(hold);
    std::string ini = settings_.Read();
    EXPECT_NE(std::string::npos, ini.find("L_dir=" + left_.path())) << ini;
    EXPECT_NE(std::string::npos, ini.find("R_dir=" + right_.path())) << ini;
    for (const std::string& name : FolderEntries(right_.path())) {
        EXPECT_NE('.', name[0]) << name;
        if (name != "a.txt") {
            EXPECT_EQ(4000u, ReadBytes(right_ / name).size()) << name;
        }
    }
}

TEST_F(FaultsTest, HostileListsFromOtherPrograms) {
    WriteBytes(left_ / "x.txt", "x");
    WriteBytes(left_ / "y.txt", "y");
    std::string longest = left_.path() + std::string(259 - left_.path().size(), 'n'); // a 259-byte path
    std::string tooLong = left_.path() + std::string(400, 'm');
    std::string x = left_ / "x.txt", y = left_ / "y.txt";
    for (int wide = 0; wide < 2; wide++) {
        RemoveTree(right_.path() + "x.txt");
        DeleteFileA((right_ / "x.txt").c_str());
        DeleteFileA((right_ / "y.txt").c_str());
        // (An empty name can't stand inside a list: it is the list's end.)
        const char* names[] = {x.c_str(), longest.c_str(), tooLong.c_str(), y.c_str()};
        HGLOBAL block = BuildDropFiles(names, 4, wide);
        ASSERT_NE(nullptr, block);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(CF_HDROP, block);
        CloseClipboard();
        size_t before = prompts_.calls().size();
        EXPECT_EQ(4, PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()))
            << "wide " << wide;
        EXPECT_EQ("x", ReadBytes(right_ / "x.txt")) << "wide " << wide;
        EXPECT_EQ("y", ReadBytes(right_ / "y.txt")) << "wide " << wide;
        // The 259-byte path names no file (a failed copy, said as one; its
        // target fits, both folders being as long); the 400-byte one is no
        // path at all: said and skipped.
        std::vector<std::string> said;
        for (size_t i = before; i < prompts_.calls().size(); i++)
            said.push_back(prompts_.calls()[i].caption);
        // A paste's refusals are said before its copy starts, the copy's failures as it runs.
        std::sort(said.begin(), said.end());
        EXPECT_EQ(std::vector<std::string>({"CopyZ File ERROR", "Path Length Error"}), said)
            << "wide " << wide;
    }
    // A list that is empty from its first name on: nothing to paste, nothing said.
    size_t before = prompts_.calls().size();
    HGLOBAL empty = BuildDropFiles(nullptr, 0, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, empty);
    CloseClipboard();
    // Wine's DragQueryFile counts such a list as one empty name; either way
    // nothing is copied and nothing said.
    std::vector<std::string> present = FolderEntries(right_.path());
    EXPECT_LE(PasteFromClipboard(main_->window(), right_.path().c_str(), WindowWalkSink()), 1);
    EXPECT_EQ(before, prompts_.calls().size());
    EXPECT_EQ(present, FolderEntries(right_.path()));
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

TEST_F(FaultsTest, NamesAndPathsAtTheLimits) {
    // A file whose full path is exactly 259 bytes, and one of 270 made with a
    // wide call (no ANSI call can name it).
    std::string name259(259 - left_.path().size(), 'p');
    WriteBytes(left_ / name259, "259");
    ASSERT_EQ("259", ReadBytes(left_ / name259));
    std::wstring wideFolder(left_.path().begin(), left_.path().end());
    std::wstring longName = wideFolder + std::wstring(270 - wideFolder.size(), L'q');
    HANDLE file = CreateFileW(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    bool madeLong = file != INVALID_HANDLE_VALUE;
    if (madeLong)
        CloseHandle(file);
    Relist();
    EXPECT_GE(FindItem(gCore->panes[PANE_LEFT].list, name259), 0) << "259 bytes is still a path";
    EXPECT_EQ(1, ItemCount(gCore->panes[PANE_LEFT].list))
        << "a path past 259 bytes is not listed, so nothing acts on it";

    // Copy, clipboard and move of the 259-byte item keep its whole name.
    SelectOnly(gCore->panes[PANE_LEFT].list, {name259});
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    EXPECT_EQ("259", ReadBytes(right_ / name259)) << "right_ is as long as left_";
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    Command(CMD_CLIPBOARD_COPY);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL data = GetClipboardData(CF_HDROP);
    char back[MAX_PATH] = "";
    if (data)
        DragQueryFileA((HDROP)data, 0, back, sizeof back);
    CloseClipboard();
    EXPECT_EQ(left_ / name259, std::string(back));

    // The recycle bin needs one byte more than such a path has: refused, said, kept.
    prompts_.Queue(1);
    CommandAndWait(CMD_LEFT_DELETE);
    EXPECT_EQ(1, CountCaption("Path Length Error"));
    EXPECT_TRUE(Exists(left_ / name259));
    // The permanent delete takes it.
    MakePaneActive(&gCore->panes[PANE_RIGHT]);
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    SelectOnly(gCore->panes[PANE_RIGHT].list, {name259});
    prompts_.Queue(1);
    Command(CMD_DELETE);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    EXPECT_FALSE(Exists(right_ / name259));

    // A folder of 256 to 259 bytes, whose search pattern passes the limit,
    // is still walked: copied, and deleted for good.
    std::string folder257(257 - left_.path().size(), 'g');
    ASSERT_TRUE(CreateDirectoryA((left_ / folder257).c_str(), nullptr));
    Relist();
    SelectOnly(gCore->panes[PANE_LEFT].list, {folder257});
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    EXPECT_TRUE(Exists(right_ / folder257));
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    SelectOnly(gCore->panes[PANE_LEFT].list, {folder257});
    prompts_.Queue(1);
    Command(CMD_DELETE);
    ASSERT_TRUE(PumpUntil([] { return !JobRunning(); }));
    EXPECT_FALSE(Exists(left_ / folder257));
    EXPECT_EQ(1, CountCaption("Path Length Error")) << "only the recycle bin's";

    // A tree whose copy passes 259 bytes only at depth: the deep entry is
    // refused with a message, everything else arrives.
    DeleteFileA((left_ / name259).c_str());
    std::string deep = left_ / "d";
    CreateDirectoryA(deep.c_str(), nullptr);
    WriteBytes(deep + "\\top.txt", "t");
    std::string inner = deep + "\\" + std::string(240 - deep.size(), 'i');
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
    WriteBytes(inner + "\\" + std::string(259 - inner.size() - 1, 'f'), "deep");
    TempFolder longer;
    std::string target = longer.path() + std::string(20, 'L');
    CreateDirectoryA(target.c_str(), nullptr);
    size_t before = prompts_.calls().size();
    CopyTree(deep.c_str(), (target + "\\d").c_str(), 0, nullptr, WindowWalkSink());
    EXPECT_EQ("t", ReadBytes(target + "\\d\\top.txt"));
    ASSERT_EQ(before + 1, prompts_.calls().size());
    EXPECT_EQ("Path Length Error", prompts_.calls()[before].caption);
    if (madeLong)
        DeleteFileW(longName.c_str());
}

TEST(ReadOnlyVolume, ADestinationThatCantBeWrittenLosesNothing) {
    std::string volume = FolderFromEnvironment("BRENNIK_READ_ONLY_VOLUME");
    if (volume.empty())
        GTEST_SKIP() << "no read-only volume: the test driver mounts it as root (scripts/wine-env.sh)";
    ASSERT_EQ("old\n", ReadBytes(volume + "kept.txt"));
    TempFolder source;
    WriteBytes(source / "kept.txt", "newer");
    WriteBytes(source / "new.txt", "new");
    PromptRecorder prompts;
    CopyFolderContents(source.path().c_str(), volume.c_str(), nullptr, WindowWalkSink());
    ASSERT_EQ(2u, prompts.calls().size());
    for (const PromptCall& call : prompts.calls())
        EXPECT_EQ("CopyZ File ERROR", call.caption) << call.text;
    EXPECT_EQ("old\n", ReadBytes(volume + "kept.txt")) << "the older file is left as it was";
    EXPECT_EQ(std::vector<std::string>{"kept.txt"}, FolderEntries(volume));
}
