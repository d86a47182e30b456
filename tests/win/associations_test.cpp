#include <gtest/gtest.h>

#include "core/filer_core.h"
#include "tests/win/support/win_test_support.h"

// The core object read the working folder's "Brenn.dat" before main().
TEST(Associations, StaticObjectLoadedTheDataFileBeforeMain) {
    ASSERT_EQ(gCore->toolCount, 3);
    EXPECT_EQ(4, gCore->ruleCount);
    EXPECT_STREQ("C:\\WINDOWS\\NOTEPAD.EXE ", gCore->toolTable[0]);
    EXPECT_STREQ("txt", gCore->extensionRules[0].extension);
    EXPECT_EQ(1, gCore->extensionRules[0].tool);
    EXPECT_STREQ("*", gCore->extensionRules[3].extension);
    for (int d : gCore->sortDirection)
        EXPECT_EQ(1, d);
    EXPECT_EQ(0, gCore->sortColumn);
}

TEST(Associations, MissingFileIsReportedAndLeavesEmptyTables) {
    TempFolder temp;
    FilerCore* core = gCore;
    char savedTool[TOOL_SLOT_SIZE];
    strcpy(savedTool, core->toolTable[0]);
    PromptRecorder prompts;
    EXPECT_EQ(0, core->LoadAssociations((temp / "Brenn.dat").c_str()));
    ASSERT_EQ(1u, prompts.calls().size());
    EXPECT_EQ("Brenn.dat  Open Error", prompts.calls()[0].text);
    EXPECT_EQ("READ DATA FILE", prompts.calls()[0].caption);
    EXPECT_EQ((UINT)MB_OK, prompts.calls()[0].type);
    EXPECT_EQ(nullptr, prompts.calls()[0].owner);

    // A file that is there but locked by another handle can't be opened either.
    WriteBytes(temp / "Brenn.dat", "0   0");
    HANDLE holder =
        CreateFileA((temp / "Brenn.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(0, core->LoadAssociations((temp / "Brenn.dat").c_str()));
    CloseHandle(holder);
    EXPECT_EQ(2u, prompts.calls().size());

    EXPECT_EQ(1, core->LoadAssociations((temp / "Brenn.dat").c_str()));
    EXPECT_EQ(0, core->toolCount);
    EXPECT_EQ(0, core->ruleCount);
    EXPECT_STREQ("", core->toolTable[0]);
    EXPECT_EQ(1, core->LoadAssociations("Brenn.dat"));
    EXPECT_STREQ(savedTool, core->toolTable[0]);
}
