// Names the platform reads as other names, made by the test driver from the
// Linux side: "dot." beside "dot" and "sp " beside "sp" (a path drops the
// final "." or " "), 'q"x' (no path can name it) and 'a\b' (a path names the
// file b in the folder "a" beside it), names of devices ("nul.txt", "con",
// "aux.log", "com1.txt"), and the folder "dir." holding in.txt.
// Each command acts on the entry its row shows, or on nothing and says so.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

class OddNamesTest : public TwoPaneTest {
  protected:
    // The driver's case folder in the left pane, its "dest" in the right one.
    void Open(const char* name) {
        std::string odd = FolderFromEnvironment("BRENNIK_ODD_NAMES");
        ASSERT_FALSE(odd.empty()) << "the test driver makes the names (BRENNIK_ODD_NAMES)";
        case_ = odd + name + "\\";
        lstrcpyA(gCore->panes[PANE_LEFT].path, case_.c_str());
        lstrcpyA(gCore->panes[PANE_RIGHT].path, (case_ + "dest\\").c_str());
        Relist();
        MakePaneActive(&gCore->panes[PANE_LEFT]);
    }
    // The bytes of the very entry of this name, through the form no path rule rewrites.
    std::string Exact(const std::string& relative, const wchar_t* name) {
        return ReadBytesW(L"\\\\?\\" + Widen(case_ + relative) + name);
    }
    std::string case_;
};

TEST_F(OddNamesTest, EachRowIsMarkedWhereItsTextReachesAnotherEntry) {
    Open("listing");
    struct {
        const char* text;
        bool marked;
    } rows[] = {{"dot.", true},    {"dot", false}, {"sp ", true},     {"sp", false},
                {"q\"x", true},    {"a\\b", true}, {"a", false},      {"dir.", true},
                {"nul.txt", true}, {"con", true},  {"aux.log", true}, {"com1.txt", true}};
    for (const auto& row : rows) {
        int at = FindItem(gCore->panes[PANE_LEFT].list, row.text);
        ASSERT_GE(at, 0) << row.text;
        EXPECT_EQ(row.marked, (ItemParam(gCore->panes[PANE_LEFT].list, at) & ITEM_HAS_REAL_NAME) != 0)
            << row.text;
    }
}

TEST_F(OddNamesTest, DeleteRecycleMoveAndCopyReachTheChosenEntries) {
    Open("delete");
    ASSERT_EQ(5, SelectOnly(gCore->panes[PANE_LEFT].list, {"dot.", "sp ", "dir.", "nul.txt", "con"}));
    Command(CMD_DELETE);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ("(missing)", Exact("", L"nul.txt"));
    EXPECT_EQ("(missing)", Exact("", L"con"));
    EXPECT_EQ("(missing)", Exact("", L"dot."));
    EXPECT_EQ("(missing)", Exact("", L"sp "));
    EXPECT_EQ("(missing)", Exact("dir.\\", L"in.txt"));
    EXPECT_EQ("dot", Exact("", L"dot")) << "the twin stays";
    EXPECT_EQ("sp", Exact("", L"sp"));

    Open("recycle");
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"dot."}));
    CommandAndWait(CMD_LEFT_DELETE);
    EXPECT_EQ("(missing)", Exact("", L"dot."));
    EXPECT_EQ("dot", Exact("", L"dot"));

    Open("move");
    ASSERT_EQ(3, SelectOnly(gCore->panes[PANE_LEFT].list, {"sp ", "dir.", "aux.log"}));
    CommandAndWait(CMD_LEFT_MOVE);
    EXPECT_EQ("aux.log", Exact("dest\\", L"aux.log"));
    EXPECT_EQ("sp ", Exact("dest\\", L"sp "));
    EXPECT_EQ("in", Exact("dest\\dir.\\", L"in.txt"));
    EXPECT_EQ("(missing)", Exact("", L"sp "));
    EXPECT_EQ("sp", Exact("", L"sp"));

    Open("copy");
    ASSERT_EQ(6, SelectOnly(gCore->panes[PANE_LEFT].list,
                            {"dot.", "dir.", "nul.txt", "con", "aux.log", "com1.txt"}));
    Command(CMD_LEFT_COPY_SELECTED);
    ASSERT_TRUE(WaitForJob());
    for (const wchar_t* device : {L"nul.txt", L"con", L"aux.log", L"com1.txt"})
        EXPECT_EQ(Exact("", device), Exact("dest\\", device)) << "the bytes of the file, not of a device";
    EXPECT_EQ("dot.", Exact("dest\\", L"dot."));
    EXPECT_EQ("in", Exact("dest\\dir.\\", L"in.txt"));
    EXPECT_EQ("(missing)", Exact("dest\\", L"dot"));
    // Through the clipboard, which names it by its short name, it keeps its name.
    ASSERT_EQ(1, SelectOnly(gCore->panes[PANE_LEFT].list, {"sp "}));
    Command(CMD_CLIPBOARD_COPY);
    MakePaneActive(&gCore->panes[PANE_RIGHT]);
    CommandAndWait(CMD_CLIPBOARD_PASTE);
    EXPECT_EQ("sp ", Exact("dest\\", L"sp "));
    EXPECT_EQ("(missing)", Exact("dest\\", L"sp"));
    EXPECT_EQ(0, CountCaption("Name Error")) << prompts_.captions().size();
}

// A name no path can reach exactly is left alone, whatever the command, and
// named in a box; a walk over its folder leaves it too.
TEST_F(OddNamesTest, EntriesNoPathReachesAreLeftAloneAndNamed) {
    Open("refuse");
    for (int command : {CMD_DELETE, CMD_LEFT_DELETE, CMD_LEFT_MOVE}) {
        ASSERT_EQ(2, SelectOnly(gCore->panes[PANE_LEFT].list, {"q\"x", "a\\b"}));
        Command(command);
        ASSERT_TRUE(WaitForJob());
    }
    std::vector<std::string> all = {"a",   "a\\b", "aux.log", "com1.txt", "con", "dest", "dir.",
                                    "dot", "dot.", "nul.txt", "q\"x",     "sp",  "sp "};
    EXPECT_EQ(all, FolderEntries(case_));
    EXPECT_EQ("b", Exact("a\\", L"b")) << "the file a path 'a\\b' names";
    EXPECT_EQ(6, CountCaption("Name Error")) << "two names, three commands";

    // The whole folder into a folder outside it.
    lstrcpyA(gCore->panes[PANE_RIGHT].path, right_.path().c_str());
    Relist();
    Command(CMD_LEFT_COPY_FOLDER);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ((std::vector<std::string>{"a", "aux.log", "com1.txt", "con", "dest", "dir.", "dot", "dot.",
                                        "nul.txt", "sp", "sp "}),
              FolderEntries(right_.path()));
    EXPECT_EQ("nul.txt", ReadBytesW(L"\\\\?\\" + Widen(right_.path()) + L"nul.txt"));
    EXPECT_EQ("dot.", ReadBytesW(L"\\\\?\\" + Widen(right_.path()) + L"dot."));
    EXPECT_EQ("b", ReadBytes(right_ / "a\\b"));
    EXPECT_EQ(8, CountCaption("Name Error")) << "the walk named both again";
}
