// The My Computer view through the real shell namespace of the Wine prefix.
#include <gtest/gtest.h>

#include <memory>

#include "app/app_state.h"
#include "app/main_window.h"
#include "core/filer_core.h"
#include "panes/navigation.h"
#include "core/pane.h"
#include "res/resource.h"
#include "tests/win/support/two_pane_test.h"

class MyComputerTest : public TwoPaneTest {
  protected:
    std::string RightStart() const override { return left_.path(); }
    void Command(int id, int code = 0) { SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(id, code), 0); }
    int FindEnding(HWND list, const std::string& end) {
        for (int i = 0; i < ItemCount(list); i++) {
            std::string name = ItemText(list, i, 0);
            if (name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0)
                return i;
        }
        return -1;
    }
    void DoubleClick(Pane* pane, int item) { DoubleClickItem(pane->list, item); }

    TempFolder& folder_ = left_;
};

TEST_F(MyComputerTest, ListsTheDrivesInShellOrder) {
    Command(CMD_LEFT_MY_COMPUTER);
    ASSERT_STREQ("", gCore->panes[PANE_LEFT].path);
    HWND list = gCore->panes[PANE_LEFT].list;
    ASSERT_GE(ItemCount(list), 2);
    int c = FindEnding(list, "(C:)"), z = FindEnding(list, "(Z:)");
    ASSERT_GE(c, 0);
    ASSERT_GE(z, 0);
    for (int i = 0; i < ItemCount(list); i++)
        EXPECT_EQ(i, (int)(ItemParam(list, i) >> 16)) << "listing index " << i;
    // Drives are folders even where the shell gives no find data.
    EXPECT_TRUE(ItemParam(list, c) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(ItemText(list, c, 2).empty()) << "a type name";

    // A drive that comes and goes appears and vanishes by itself.
    char drive[3] = "P:";
    while (drive[0] < 'Y' && (GetLogicalDrives() & (1u << (drive[0] - 'A'))))
        drive[0]++;
    std::string shown = std::string("(") + drive + ")";
    ASSERT_TRUE(DefineDosDeviceA(0, drive, (folder_ / "").c_str()));
    EXPECT_TRUE(PumpUntil([&] { return FindEnding(list, shown) >= 0; }, 3000));
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, drive, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return FindEnding(list, shown) < 0; }, 3000));
    EXPECT_TRUE(prompts_.calls().empty());
}

TEST_F(MyComputerTest, EnteringADriveAndComingBack) {
    Command(CMD_LEFT_MY_COMPUTER);
    int c = FindEnding(gCore->panes[PANE_LEFT].list, "(C:)");
    ASSERT_GE(c, 0);
    DoubleClick(&gCore->panes[PANE_LEFT], c);
    EXPECT_STREQ("C:\\", gCore->panes[PANE_LEFT].path);
    EXPECT_GE(FindItem(gCore->panes[PANE_LEFT].list, "windows"), 0) << "the root of C: is listed";
    EXPECT_EQ("C:\\", WindowText(gCore->panes[PANE_LEFT].pathBox));

    // The parent of a drive root is the view again.
    Command(CMD_LEFT_PARENT);
    EXPECT_STREQ("", gCore->panes[PANE_LEFT].path);
    EXPECT_GE(FindEnding(gCore->panes[PANE_LEFT].list, "(C:)"), 0);

    // An item that is no file-system folder is neither entered nor opened.
    for (int i = 0; i < ItemCount(gCore->panes[PANE_LEFT].list); i++) {
        if (ItemParam(gCore->panes[PANE_LEFT].list, i) & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        DoubleClick(&gCore->panes[PANE_LEFT], i);
        EXPECT_STREQ("", gCore->panes[PANE_LEFT].path) << ItemText(gCore->panes[PANE_LEFT].list, i, 0);
    }

    // An empty path box, committed, shows the view and stays empty.
    strcpy(gCore->panes[PANE_RIGHT].path, folder_.path().c_str());
    SetWindowTextA(gCore->panes[PANE_RIGHT].pathBox, "");
    SetFocus(gCore->panes[PANE_RIGHT].pathBox);
    SetFocus(gCore->panes[PANE_RIGHT].list);
    EXPECT_STREQ("", gCore->panes[PANE_RIGHT].path);
    EXPECT_EQ("", WindowText(gCore->panes[PANE_RIGHT].pathBox));
    EXPECT_GE(FindEnding(gCore->panes[PANE_RIGHT].list, "(C:)"), 0);
    EXPECT_TRUE(prompts_.calls().empty());
}
