// Walks meet links: trees that the test driver made from the Linux side, in a
// folder of the build's own (BRENNIK_TEST_LINKS). In each case folder "tree"
// holds file.txt, loop -> ".", up -> ".." and out -> the case's "outside"
// folder, which holds keep.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/app_state.h"
#include "app/main_window.h"
#include "assoc/filer_core.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/tree_delete.h"
#include "panes/pane.h"
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

class LinksTest : public ::testing::Test {
  protected:
    void Use(const char* name) {
        folder_ = CaseFolder(name);
        if (folder_.empty() || !Exists(folder_ + "tree\\file.txt"))
            GTEST_SKIP() << "the link trees are made by the test driver";
        ASSERT_TRUE(IsLink(folder_ + "tree\\out")) << "links carry the reparse-point attribute";
    }
    void Start() {
        settings_.Write("[Filer]\r\nL_dir=" + folder_ + "\r\nR_dir=" + folder_ + "dest\\\r\n");
        main_.reset(new MainWindowUnderTest);
        ASSERT_NE(nullptr, main_->window());
    }
    void Command(int id) { SendMessageA(main_->window(), WM_COMMAND, id, 0); }
    bool WaitForJob() {
        return PumpUntil([] { return !JobRunning(); }, 60000);
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
    SelectOnly(gLeftPane.list, {"tree"});
    gActivePane.list = gLeftPane.list;
    gActivePane.path = gLeftPane.path;
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
    EXPECT_EQ(1, gCore->DeleteTree((folder_ + "tree\\out").c_str(), nullptr));
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
    SelectOnly(gLeftPane.list, {"tree"});
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
    strcpy(gRightPane.path, (folder_ + "tree\\loop\\").c_str());
    gCore->ListFolder(gRightPane.list, gRightPane.path);
    strcpy(gLeftPane.path, (folder_ + "tree\\").c_str());
    gCore->ListFolder(gLeftPane.list, gLeftPane.path);
    SelectOnly(gLeftPane.list, {"out"});
    Command(CMD_LEFT_COPY_FOLDER);
    EXPECT_FALSE(JobRunning()) << "tree\\loop\\ is tree itself";
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ Folder ERROR", prompts_.calls()[0].caption);
}

TEST_F(LinksTest, MoveCarriesLinksAsLinks) {
    Use("move");
    Start();
    SelectOnly(gLeftPane.list, {"tree"});
    Command(CMD_LEFT_MOVE);
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
