// Starts the built Brennik.exe as a user would and checks it from outside:
// its window, its lists and status bar, its idle CPU, a screenshot, and the
// settings it writes when closed.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteBytes(work_ / "Brenn.dat", ReadBytes("Brenn.dat"));
        CreateDirectoryA((work_ / "left").c_str(), nullptr);
        CreateDirectoryA((work_ / "right").c_str(), nullptr);
        MakeFileOfSize(work_ / "left\\readme.txt", 2048);
        MakeFileOfSize(work_ / "left\\表示.txt", 10);
        CreateDirectoryA((work_ / "left\\新しいフォルダ").c_str(), nullptr);
        MakeFileOfSize(work_ / "right\\ｱｲｳ.bmp", 5000);
        MakeFileOfSize(work_ / "right\\photo.jpg", 70000);
        settings_.Write("[Filer]\r\nL_dir=" + (work_ / "left\\") + "\r\nR_dir=" + (work_ / "right\\") +
                        "\r\n");
    }
    SettingsFileGuard settings_;
    TempFolder work_;
};

TEST_F(EndToEnd, ShowsBothFoldersIdlesQuietlyAndSavesOnClose) {
    Program program;
    ASSERT_TRUE(program.Start(work_.path()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(nullptr, main) << "no main window";
    char title[64] = "";
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(kClass, title);
    HWND left = GetDlgItem(main, 100), right = GetDlgItem(main, 101), status = GetDlgItem(main, 102);
    ASSERT_TRUE(left && right && status);
    EXPECT_EQ(3, (int)SendMessageA(left, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(2, (int)SendMessageA(right, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("Object Count : 3", RemoteStatusText(program.process(), status, 0));
    EXPECT_EQ("Object Count : 2", RemoteStatusText(program.process(), status, 1));
    std::vector<std::string> names;
    for (int i = 0; i < 3; i++)
        names.push_back(RemoteItemText(program.process(), left, i, 0));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "表示.txt"));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "新しいフォルダ"));
    int readme = 0;
    while (readme < 3 && names[readme] != "readme.txt")
        readme++;
    ASSERT_LT(readme, 3);
    EXPECT_EQ("2KB", RemoteItemText(program.process(), left, readme, 1));
    EXPECT_EQ(work_ / "left\\", RemoteWindowText(GetDlgItem(main, 103)));

    // Idle: the loop must wait for input, not spin a core.
    Sleep(500);
    double before = LinuxCpuSeconds("Brennik.exe");
    ASSERT_GE(before, 0) << "the program's Linux process was not found";
    DWORD start = GetTickCount();
    Sleep(10000);
    double used = LinuxCpuSeconds("Brennik.exe") - before;
    double percent = 100.0 * used / ((GetTickCount() - start) / 1000.0);
    printf("idle CPU of the running program over 10 s: %.2f%% of one core\n", percent);
    RecordProperty("idle_cpu_percent", (int)(percent * 100));
    EXPECT_LT(percent, 2.0);

    EXPECT_TRUE(SaveScreen(ShotPath("main-window"), main));

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
    std::string text = settings_.Read();
    size_t l = text.find("L_dir=" + (work_ / "left\\")), r = text.find("R_dir=" + (work_ / "right\\"));
    EXPECT_NE(std::string::npos, l) << text;
    EXPECT_NE(std::string::npos, r) << text;
}

TEST_F(EndToEnd, MissingDataFileIsReportedBeforeTheWindow) {
    DeleteFileA((work_ / "Brenn.dat").c_str());
    Program program;
    ASSERT_TRUE(program.Start(work_.path()));
    HWND box = program.WaitForWindow(nullptr, "READ DATA FILE");
    ASSERT_NE(nullptr, box) << "no open-error box";
    EXPECT_EQ(nullptr, FindWindowA(kClass, nullptr)) << "the box comes before the main window";
    char text[64] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the static text of a message box
    EXPECT_STREQ("Brenn.dat  Open Error", text);
    Sleep(300);
    SaveScreen(ShotPath("data-file-error"), box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND main = program.WaitForWindow(kClass, nullptr);
    ASSERT_NE(nullptr, main) << "start-up goes on after the box";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
}
