// The release archive's program, unpacked by the test driver into a folder of
// its own (BRENNIK_DIST_DIR), started from there: it must find its sample
// "Brenn.dat" and come up without the data file's error.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace {

TEST(ReleaseArchive, ProgramStartsWithItsSampleRules) {
    std::string folder = FolderFromEnvironment("BRENNIK_DIST_DIR");
    if (folder.empty())
        GTEST_SKIP() << "the test driver unpacks the archive and names the folder";
    // This test is built for each architecture; each starts its own build of the archive.
    if (sizeof(void*) == 8)
        folder += "x64\\";
    ASSERT_TRUE(Exists(folder + "Brennik.exe")) << folder;
    ASSERT_TRUE(Exists(folder + "Brenn.dat"));

    SettingsFileGuard settings;
    settings.Write("[Filer]\r\nL_dir=" + folder + "\r\nR_dir=" + folder + "\r\n");
    Program program;
    ASSERT_TRUE(program.StartProgram(folder + "Brennik.exe", folder));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(nullptr, main) << "no main window";
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "READ DATA FILE")) << "the sample Brenn.dat was not read";
    HWND left = GetDlgItem(main, 100);
    bool listed = false;
    int count = (int)SendMessageA(left, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++)
        listed = listed || RemoteItemText(program.process(), left, i, 0) == "Brenn.dat";
    EXPECT_TRUE(listed) << "the program's own folder is listed";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
}

} // namespace
