// Walks meet links: trees that the test driver made from the Linux side, in a
// folder of the build's own (BRENNIK_TEST_LINKS). In each case folder "tree"
// holds file.txt, loop -> ".", up -> ".." and out -> the case's "outside"
// folder, which holds keep.txt.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "app/window_sink.h"
#include "app/app_state.h"
#include "app/list_events.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/tree_delete.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/win_test_support.h"

static std::string CaseFolder(const char* name) {
    std::string links = FolderFromEnvironment("BRENNIK_TEST_LINKS");
    return links.empty() ? "" : links + name + "\\";
}

static bool IsLink(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether a folder lists the name, also for a link whose target is gone.
static bool HasEntry(const std::string& folder, const std::string& name) {
    std::vector<std::string> names = FolderEntries(folder);
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Any question the shell itself asks (whether to delete for good what it
// can't recycle) is answered Yes: the worst a user could answer.
struct ShellWatch {
    int asked;
    volatile LONG done; // set once the command has returned
};

static BOOL CALLBACK AnswerShellYes(HWND window, LPARAM watch) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (process == GetCurrentProcessId() && strcmp(cls, "#32770") == 0 && IsWindowVisible(window)) {
        PostMessageA(window, WM_COMMAND, IDYES, 0);
        ((ShellWatch*)watch)->asked = 1;
    }
    return TRUE;
}

// Answers every question until a second after the command has returned.
static DWORD WINAPI WatchShellYes(LPVOID watch) {
    ShellWatch* w = (ShellWatch*)watch;
    for (int i = 0, after = 0; i < 1200 && after < 20; i++, Sleep(50)) {
        EnumWindows(AnswerShellYes, (LPARAM)w);
        after += w->done != 0;
    }
    return 0;
}

class LinksTest : public ::testing::Test {
  protected:
    void Use(const char* name) {
        folder_ = CaseFolder(name);
        if (folder_.empty() || !Exists(folder_ + "tree\\file.txt"))
            GTEST_SKIP() << "the link trees are made by the test driver";
        ASSERT_TRUE(IsLink(folder_ + "tree\\out")) << "links carry the reparse-point attribute";
    }
    void Start() { StartOn(folder_, folder_ + "dest\\"); }
    void StartOn(const std::string& left, const std::string& right) {
        settings_.Write("[Filer]\r\nL_dir=" + left + "\r\nR_dir=" + right + "\r\n");
        main_.reset(new MainWindowUnderTest);
        ASSERT_NE(nullptr, main_->window());
    }
    void Command(int id) { SendMessageA(main_->window(), WM_COMMAND, id, 0); }
    void CommandAndWait(int id) {
        Command(id);
        WaitForJob();
    }
    bool WaitForJob() {
        return PumpUntil([] { return !JobRunning(); }, 60000);
    }
    // The recycle bin's command on the left pane's selection, every question
    // of the shell answered Yes; 1 when the shell asked anything.
    int RecycleAnsweringTheShellYes() {
        ShellWatch watch = {0, 0};
        HANDLE watcher = CreateThread(nullptr, 0, WatchShellYes, &watch, 0, nullptr);
        prompts_.Queue(1);
        CommandAndWait(CMD_LEFT_DELETE);
        InterlockedExchange(&watch.done, 1);
        WaitForSingleObject(watcher, 70000);
        CloseHandle(watcher);
        return watch.asked;
    }
    void OutsideIntact() { EXPECT_EQ("keep\n", ReadBytes(folder_ + "outside\\keep.txt")); }

    std::string folder_;
    SettingsFileGuard settings_;
    PromptRecorder prompts_;
    std::unique_ptr<MainWindowUnderTest> main_;
};

TEST_F(LinksTest, PermanentDeleteNeverEntersALink) {
    Use("delete");
    Start();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"tree"});
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    prompts_.Queue(1);
    Command(CMD_DELETE);
    ASSERT_TRUE(WaitForJob()) << "the job ends";
    OutsideIntact();
    EXPECT_TRUE(Exists(folder_ + "dest")) << "nothing outside the selection changed";
    EXPECT_FALSE(Exists(folder_ + "tree\\file.txt"));
    // The links themselves can't be removed under Wine: each is reported as
    // undeletable, and so is the folder that still holds them.
    int reported = 0;
    for (const PromptCall& call : prompts_.calls()) {
        if (call.dialog)
            continue;
        EXPECT_EQ("DelZ  Folder を削除できません", call.caption) << call.text;
        reported++;
    }
    EXPECT_EQ(4, reported) << "loop, up, out and the folder holding them";
}

TEST_F(LinksTest, DeletingALinkByItselfLeavesItsTarget) {
    Use("deletelink");
    EXPECT_EQ(1, DeleteTree((folder_ + "tree\\out").c_str(), nullptr, WindowWalkSink()));
    OutsideIntact();
    if (HasEntry(folder_ + "tree\\", "out")) {
        ASSERT_EQ(1u, prompts_.calls().size()) << "a link that stays is reported";
        EXPECT_EQ("DelZ  Folder を削除できません", prompts_.calls()[0].caption);
    } else {
        EXPECT_TRUE(prompts_.calls().empty());
    }
}

TEST_F(LinksTest, CopyFollowsLinksButNeverInACircle) {
    Use("copy");
    Start();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"tree"});
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob()) << "the job ends";
    std::string copy = folder_ + "dest\\tree\\";
    EXPECT_EQ("file\n", ReadBytes(copy + "file.txt"));
    EXPECT_EQ("keep\n", ReadBytes(copy + "out\\keep.txt")) << "a link outside is copied as a folder";
    EXPECT_FALSE(Exists(copy + "loop\\loop"));
    EXPECT_FALSE(Exists(copy + "loop\\file.txt"));
    EXPECT_FALSE(Exists(copy + "up\\tree"));
    EXPECT_FALSE(IsLink(copy + "out"));
    EXPECT_TRUE(prompts_.calls().empty());
    OutsideIntact();

    // A destination reached through a link into the source is refused.
    strcpy(gCore->panes[PANE_RIGHT].path, (folder_ + "tree\\loop\\").c_str());
    ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    strcpy(gCore->panes[PANE_LEFT].path, (folder_ + "tree\\").c_str());
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    SelectOnly(gCore->panes[PANE_LEFT].list, {"out"});
    Command(CMD_LEFT_COPY_FOLDER);
    EXPECT_FALSE(JobRunning()) << "tree\\loop\\ is tree itself";
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ Folder ERROR", prompts_.calls()[0].caption);
}

// "bk" leads to data\\old: every copy of data, or of old, into bk lands inside
// its own source, however the paths read.
TEST_F(LinksTest, ACopyIntoALinkThatLeadsInsideTheSourceIsRefused) {
    folder_ = CaseFolder("into");
    if (folder_.empty() || !Exists(folder_ + "data\\old\\f.txt"))
        GTEST_SKIP() << "the link trees are made by the test driver";
    const std::string data = folder_ + "data\\", bk = folder_ + "bk\\";
    settings_.Write("[Filer]\r\nL_dir=" + data + "\r\nR_dir=" + bk + "\r\n");
    main_.reset(new MainWindowUnderTest);
    ASSERT_NE(nullptr, main_->window());
    FilePath old;
    SetFilePath(&old, (data + "old").c_str());
    struct {
        const char* what;
        std::function<void()> act;
    } cases[] = {
        {"whole folder", [&] { Command(CMD_LEFT_COPY_FOLDER); }},
        {"selection",
         [&] {
             SelectOnly(gCore->panes[PANE_LEFT].list, {"old"});
             Command(CMD_LEFT_COPY_SELECTED);
         }},
        {"drop", [&] { CopyPathsInto(&old, bk.c_str(), 1, nullptr, WindowWalkSink()); }},
    };
    for (const auto& c : cases) {
        size_t before = prompts_.calls().size();
        c.act();
        ASSERT_TRUE(WaitForJob());
        ASSERT_EQ(before + 1, prompts_.calls().size()) << c.what;
        EXPECT_EQ("CopyZ Folder ERROR", prompts_.calls()[before].caption) << c.what;
        EXPECT_FALSE(Exists(data + "old\\old")) << c.what;
    }
    // Past the refusal, the walk itself still never enters what it made.
    CopyTree((folder_ + "data").c_str(), (folder_ + "bk").c_str(), 0, nullptr, WindowWalkSink());
    EXPECT_EQ("f\n", ReadBytes(data + "old\\old\\f.txt")) << "one level is made";
    EXPECT_FALSE(Exists(data + "old\\old\\old")) << "and not walked into";
    RemoveTree(data + "old\\old");
}

TEST_F(LinksTest, MoveCarriesLinksAsLinks) {
    Use("move");
    Start();
    SelectOnly(gCore->panes[PANE_LEFT].list, {"tree"});
    CommandAndWait(CMD_LEFT_MOVE);
    // Moved as one piece: the links are still links; "loop" and "up" are
    // relative, so they still name dest\tree and dest.
    EXPECT_TRUE(IsLink(folder_ + "dest\\tree\\loop"));
    EXPECT_TRUE(IsLink(folder_ + "dest\\tree\\up"));
    EXPECT_TRUE(Exists(folder_ + "dest\\tree\\loop\\file.txt"));
    EXPECT_TRUE(IsLink(folder_ + "dest\\tree\\out"));
    EXPECT_EQ("keep\n", ReadBytes(folder_ + "dest\\tree\\out\\keep.txt"));
    EXPECT_FALSE(Exists(folder_ + "tree"));
    OutsideIntact();
    EXPECT_TRUE(prompts_.calls().empty());
}

TEST_F(LinksTest, RecycleBinTakesTheTreeWithItsLinks) {
    Use("recycle");
    std::string trash = FolderFromEnvironment("XDG_DATA_HOME");
    if (trash.empty())
        GTEST_SKIP() << "no trash of the build's own";
    trash += "Trash\\files\\";
    // A name of this run's own, so an earlier run's leftovers in the trash
    // can't be mistaken for it.
    std::string name = "tree-" + std::to_string(GetTickCount());
    ASSERT_TRUE(MoveFileA((folder_ + "tree").c_str(), (folder_ + name).c_str()));
    FilePath path;
    SetFilePath(&path, (folder_ + name).c_str());
    SendToRecycleBin(path);
    EXPECT_FALSE(Exists(folder_ + name));
    EXPECT_TRUE(IsLink(trash + name + "\\loop")) << "the links went along as links";
    EXPECT_TRUE(IsLink(trash + name + "\\out"));
    EXPECT_EQ("file\n", ReadBytes(trash + name + "\\file.txt"));
    OutsideIntact();
}

// A link sent to the recycle bin by itself takes only the link: what it leads
// to stays, whatever the shell asks on the way.
TEST_F(LinksTest, RecyclingALinkByItselfLeavesItsTarget) {
    Use("recyclelink");
    Start();
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"tree"}));
    PumpMessages(20);
    // Into the tree, then the link "out" alone.
    OpenListItem(&gCore->panes[PANE_LEFT], FindItem(gCore->panes[PANE_LEFT].list, "tree"));
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"out"}));
    EXPECT_EQ(0, RecycleAnsweringTheShellYes()) << "the shell never got the link";
    OutsideIntact();
    EXPECT_TRUE(Exists(folder_ + "tree\\file.txt"));
    // Where Wine can't remove a link, it stays and that is said.
    if (HasEntry(folder_ + "tree\\", "out")) {
        ASSERT_FALSE(prompts_.calls().empty());
        EXPECT_EQ("DelZ  Folder を削除できません", prompts_.calls().back().caption);
    }
}

// A link moved by itself never takes what it leads to along: it is moved as
// a link, or, where the platform can't, it stays and that is said.
TEST_F(LinksTest, MovingALinkNeverMovesWhatItLeadsTo) {
    Use("movelink");
    Start();
    OpenListItem(&gCore->panes[PANE_LEFT], FindItem(gCore->panes[PANE_LEFT].list, "tree"));
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"out"}));
    CommandAndWait(CMD_LEFT_MOVE);
    OutsideIntact();
    if (IsLink(folder_ + "dest\\out")) {
        EXPECT_FALSE(HasEntry(folder_ + "tree\\", "out"));
        EXPECT_TRUE(prompts_.calls().empty());
    } else {
        EXPECT_TRUE(IsLink(folder_ + "tree\\out"));
        ASSERT_EQ(1u, prompts_.calls().size());
        EXPECT_EQ("Move File ERROR", prompts_.calls()[0].caption);
        EXPECT_EQ(folder_ + "tree\\out\r\nリンクは移動できません", prompts_.calls()[0].text);
    }
}

// On a file system the recycle bin can't take, the shell offers to delete a
// folder for good (answered Yes here), and its delete would walk into links.
TEST_F(LinksTest, ARecycleNeverHandsTheShellAFolderHoldingALink) {
    folder_ = FolderFromEnvironment("BRENNIK_VOLUME_A");
    if (folder_.empty())
        GTEST_SKIP() << "the test driver mounts a second file system (as root)";
    folder_ += "links\\";
    Start();
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"tree"}));
    RecycleAnsweringTheShellYes();
    OutsideIntact();
    EXPECT_FALSE(Exists(folder_ + "tree\\file.txt")) << "what holds no link went";
}

// Under Wine every Linux file system reads as volume 0 and numbers its files
// from 1: the copy of d into "b" makes a folder numbered as d's own e.
TEST_F(LinksTest, FoldersOfTwoFileSystemsAreNeverTakenForOneAnother) {
    std::string a = FolderFromEnvironment("BRENNIK_VOLUME_A"), b = FolderFromEnvironment("BRENNIK_VOLUME_B");
    if (a.empty() || b.empty())
        GTEST_SKIP() << "the test driver mounts two small file systems (as root)";
    StartOn(a, b);
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"d"}));
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("f\n", ReadBytes(b + "d\\e\\f.txt"));
    EXPECT_TRUE(prompts_.calls().empty());
}
