// Opening files by their extension and the Tools commands, with real child
// processes: copies of a recorder program that logs how it was started.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/app_state.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "app/open_with.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

class OpenWithTest : public ::testing::Test {
  protected:
    void TearDown() override {
        // Back to the working folder's own data file.
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        SetCurrentDirectoryA(work_.c_str());
        gCore->LoadAssociations("Brenn.dat");
        SetCurrentDirectoryA(cwd);
    }
    void Load(const std::string& data) {
        WriteBytes(tools_ / "Brenn.dat", data);
        ASSERT_EQ(1, gCore->LoadAssociations((tools_ / "Brenn.dat").c_str()));
    }
    std::string Install(const std::string& name) {
        std::string folder = tools_ / (name + "\\");
        CreateDirectoryA(folder.c_str(), nullptr);
        CopyFileA(RecorderProgram().c_str(), (folder + "rec.exe").c_str(), FALSE);
        return folder;
    }
    std::string work_ = [] {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        return std::string(cwd);
    }();
    TempFolder tools_, files_;
    PromptRecorder prompts_;
};

TEST_F(OpenWithTest, ExtensionPicksTheToolAndTheFolderIsTheCurrentOne) {
    std::string first = Install("first"), second = Install("second");
    Load(DataFile({first + "rec.exe", second + "rec.exe"},
                  {RuleLine("txt", 0, 1), RuleLine("jpg", 1, 0), RuleLine("*", 1, 1)}));
    WriteBytes(files_ / "a b.txt", "x");
    SetCurrentDirectoryA(files_.path().c_str());
    OpenWithAssociation(files_.path().c_str(), "a b.txt");
    std::vector<std::string> lines = Logged(first, 1);
    ASSERT_EQ(1u, lines.size());
    std::string expected = first + "rec.exe \"" + files_.path() + "a b.txt\"|" +
                           files_.path().substr(0, files_.path().size() - 1);
    EXPECT_EQ(expected, lines[0]);

    OpenWithAssociation(files_.path().c_str(), "photo.JPG");
    OpenWithAssociation(files_.path().c_str(), "README");
    EXPECT_EQ(2u, Logged(second, 2).size()) << "jpg by its rule, README by the catch-all";
    EXPECT_EQ(1u, Logged(first, 1, 300).size());
    EXPECT_TRUE(prompts_.calls().empty()) << "nothing is ever reported";
}

TEST_F(OpenWithTest, FallbackAndMissingRules) {
    std::string second = Install("second");
    // "with.exe" is what the command line of the missing "with blank\…"
    // would start if it were parsed at its first blank.
    CopyFileA(RecorderProgram().c_str(), (tools_ / "with.exe").c_str(), FALSE);
    Load(DataFile(
        {tools_ / "missing\\nothing.exe", second + "rec.exe", tools_ / "with blank\\missing.exe"},
        {RuleLine("txt", 0, 1), RuleLine("doc", 7, 1), RuleLine("bad", 0, 9), RuleLine("blank", 2, 2)}));
    EXPECT_EQ(0, StartTool((tools_ / "with blank\\missing.exe ").c_str(), files_.path().c_str(), "e.blank"));
    OpenWithAssociation(files_.path().c_str(), "e.blank");
    EXPECT_TRUE(Logged(tools_.path(), 1, 800).empty()) << "a missing program starts nothing";
    OpenWithAssociation(files_.path().c_str(), "a.txt");
    OpenWithAssociation(files_.path().c_str(), "b.doc"); // tool index past the table: the alternate
    EXPECT_EQ(2u, Logged(second, 2).size());
    // No catch-all: a file without a rule starts nothing; a bad alternate starts nothing either.
    OpenWithAssociation(files_.path().c_str(), "c.pdf");
    OpenWithAssociation(files_.path().c_str(), "d.bad");
    EXPECT_EQ(2u, Logged(second, 3, 800).size());
}

// A bare program name is found on the search path, with its switches kept;
// one in the current folder (the pane's) is never started.
TEST_F(OpenWithTest, BareProgramNamesAreLookedUpOnThePath) {
    std::string onPath = Install("onpath");
    ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), (files_ / "here.exe").c_str(), FALSE));
    char old[4096];
    DWORD n = GetEnvironmentVariableA("PATH", old, sizeof old);
    ASSERT_LT(n, sizeof old);
    SetEnvironmentVariableA("PATH", (onPath + ";" + old).c_str());
    Load(DataFile({"rec.exe shimgvw.dll,ImageView_Fullscreen", "rec /s", "here.exe"},
                  {RuleLine("txt", 0, 0), RuleLine("log", 1, 1), RuleLine("here", 2, 2)}));
    SetCurrentDirectoryA(files_.path().c_str());
    OpenWithAssociation(files_.path().c_str(), "a.txt");
    OpenWithAssociation(files_.path().c_str(), "b.log");
    OpenWithAssociation(files_.path().c_str(), "c.here");
    std::vector<std::string> lines = Logged(onPath, 2);
    SetEnvironmentVariableA("PATH", old);
    ASSERT_EQ(2u, lines.size());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ("rec /s \"" + files_.path() + "b.log\"", lines[0].substr(0, lines[0].find('|')));
    EXPECT_EQ("rec.exe shimgvw.dll,ImageView_Fullscreen \"" + files_.path() + "a.txt\"",
              lines[1].substr(0, lines[1].find('|')));
    EXPECT_TRUE(Logged(files_.path(), 1, 500).empty()) << "the current folder's program ran";
}

// The Tools commands start fixed programs; the test puts recorders at their
// paths inside the test's own Wine prefix and removes them afterwards.
class ToolsCommandTest : public TwoPaneTest {
  protected:
    std::string RightStart() const override { return left_.path(); }
    void PrepareFolders() override {
        WriteBytes(files_ / "one.txt", "1");
        WriteBytes(files_ / "two.txt", "2");
        CreateDirectoryA((files_ / "folder").c_str(), nullptr);
    }
    void SetUp() override {
        TwoPaneTest::SetUp();
        MakePaneActive(&gCore->panes[PANE_LEFT]);
    }
    void TearDown() override {
        TwoPaneTest::TearDown();
        for (auto it = installed_.rbegin(); it != installed_.rend(); ++it) {
            DeleteFileA((it->substr(0, it->rfind('\\') + 1) + "recorded.txt").c_str());
            DeleteFileA(it->c_str());
        }
        for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it)
            RemoveDirectoryA(it->c_str());
    }
    // Puts the recorder at a built-in tool's path; returns its folder.
    std::string Install(int tool) {
        std::string path = BuiltInToolTable[tool];
        path.pop_back();
        MakeFoldersFor(path);
        EXPECT_TRUE(CopyFileA(RecorderProgram().c_str(), path.c_str(), TRUE)) << path << " exists already";
        installed_.push_back(path);
        return path.substr(0, path.rfind('\\') + 1);
    }
    void MakeFoldersFor(const std::string& path) {
        for (size_t at = 3; (at = path.find('\\', at)) != std::string::npos; at++) {
            std::string folder = path.substr(0, at);
            if (CreateDirectoryA(folder.c_str(), nullptr))
                madeFolders_.push_back(folder);
        }
    }
    TempFolder& files_ = left_;
    std::vector<std::string> installed_, madeFolders_;
};

TEST_F(ToolsCommandTest, EditorOnTwoFilesSkipsTheFolder) {
    std::string editor = Install(1);
    ASSERT_EQ(3, SelectOnly(gCore->panes[PANE_LEFT].list, {"one.txt", "two.txt", "folder"}));
    gCore->cancelFlag = 1; // an old Esc belongs to jobs, not to the Tools
    Command(CMD_EDIT_WITH_EDITOR);
    std::vector<std::string> lines = Logged(editor, 2);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(2u, Logged(editor, 3, 500).size()) << "the folder is never handed over";
    // Started one after the other, the two programs may log in either order.
    std::string prefix = std::string(BuiltInToolTable[1]) + "\"" + files_.path();
    std::vector<std::string> started = {lines[0].substr(0, lines[0].find('|')),
                                        lines[1].substr(0, lines[1].find('|'))};
    std::sort(started.begin(), started.end());
    EXPECT_EQ(prefix + "one.txt\"", started[0]);
    EXPECT_EQ(prefix + "two.txt\"", started[1]);
    EXPECT_TRUE(prompts_.calls().empty());
}

TEST_F(ToolsCommandTest, MurrelMissingFallsBackToPhotoshopElements) {
    std::string elements = Install(4);
    SelectOnly(gCore->panes[PANE_LEFT].list, {"one.txt"});
    Command(CMD_EDIT_WITH_MURREL);
    std::vector<std::string> lines = Logged(elements, 1);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(std::string(BuiltInToolTable[4]) + "\"" + files_.path() + "one.txt\"",
              lines[0].substr(0, lines[0].find('|')));
}

TEST_F(ToolsCommandTest, ReadOnlyQuestionYesClearsNoKeeps) {
    std::string elements = Install(4);
    SetFileAttributesA((files_ / "one.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((files_ / "two.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    SelectOnly(gCore->panes[PANE_LEFT].list, {"one.txt", "two.txt"});
    prompts_.Queue(IDYES);
    prompts_.Queue(IDNO);
    Command(CMD_EDIT_WITH_PHOTOSHOP);
    ASSERT_EQ(2u, prompts_.calls().size());
    EXPECT_EQ("Read Only を解除しますか", prompts_.calls()[0].text);
    EXPECT_EQ("解除確認", prompts_.calls()[0].caption);
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONQUESTION), prompts_.calls()[0].type);
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(0u, GetFileAttributesA((files_ / "one.txt").c_str()) & kept);
    EXPECT_TRUE(GetFileAttributesA((files_ / "two.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(2u, Logged(elements, 2).size()) << "both are handed over, whatever the answer";
    SetFileAttributesA((files_ / "two.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ToolsCommandTest, AProgramPathWithBlanksRunsThatProgram) {
    std::string editor = Install(1);
    // A planted "C:\Program.exe" that an unquoted command line would run instead.
    ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), "C:\\Program.exe", TRUE))
        << "C:\\Program.exe exists already";
    installed_.insert(installed_.begin(), "C:\\Program.exe");
    SelectOnly(gCore->panes[PANE_LEFT].list, {"one.txt"});
    Command(CMD_EDIT_WITH_EDITOR);
    EXPECT_EQ(1u, Logged(editor, 1).size());
    EXPECT_EQ(0u, Logged("C:\\", 1, 500).size()) << "C:\\Program.exe ran";
}

// "😀.txt" and "한국.txt" are both "??.txt" to the ANSI calls: the editor is
// given a path that opens the selected one, and its read-only attribute is
// cleared on that file.
TEST_F(ToolsCommandTest, ANameTheCodePageCantSpellIsPassedByItsShortName) {
    const std::wstring smile = L"\xd83d\xde00.txt", korean = L"\xd55c\xad6d.txt";
    WriteBytesW(Widen(files_.path()) + smile, "smile");
    WriteBytesW(Widen(files_.path()) + korean, "korean");
    SetFileAttributesW((Widen(files_.path()) + smile).c_str(), FILE_ATTRIBUTE_READONLY);
    std::string editor = Install(1);
    ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    int row = FindItemW(gCore->panes[PANE_LEFT].list, smile);
    ASSERT_GE(row, 0);
    SelectOnly(gCore->panes[PANE_LEFT].list, {});
    ListView_SetItemState(gCore->panes[PANE_LEFT].list, row, LVIS_SELECTED, LVIS_SELECTED);
    prompts_.Queue(IDYES);
    Command(CMD_EDIT_WITH_EDITOR);
    std::vector<std::string> lines = Logged(editor, 1);
    ASSERT_EQ(1u, lines.size());
    std::string passed = QuotedPathAfter(lines[0], BuiltInToolTable[1]);
    ASSERT_FALSE(passed.empty()) << lines[0];
    EXPECT_EQ(files_.path(), passed.substr(0, files_.path().size()));
    EXPECT_EQ("smile", ReadBytes(passed)) << passed;
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("Read Only を解除しますか", prompts_.calls()[0].text);
    EXPECT_FALSE(GetFileAttributesW((Widen(files_.path()) + smile).c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ToolsCommandTest, NothingSelectedOrMyComputerStartsNothing) {
    std::string editor = Install(1);
    SelectOnly(gCore->panes[PANE_LEFT].list, {});
    Command(CMD_EDIT_WITH_EDITOR);
    Command(CMD_LEFT_MY_COMPUTER);
    MakePaneActive(&gCore->panes[PANE_LEFT]);
    SendMessageA(gCore->panes[PANE_LEFT].list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM) nullptr);
    LVITEMA all = {};
    all.stateMask = all.state = LVIS_SELECTED;
    SendMessageA(gCore->panes[PANE_LEFT].list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&all);
    Command(CMD_EDIT_WITH_EDITOR);
    EXPECT_EQ(0u, Logged(editor, 1, 800).size());
}
