#include <gtest/gtest.h>

#include "app/settings.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "tests/win/support/win_test_support.h"

TEST(Settings, MissingFileGivesTheDefaults) {
    SettingsFileGuard settings;
    settings.Remove();
    char left[PATH_SIZE], right[PATH_SIZE];
    ReadSettings(left, right);
    EXPECT_STREQ("c:\\", left);
    EXPECT_STREQ("c:\\windows\\", right);
}

TEST(Settings, ValuesAreCutAndGetTheirSeparator) {
    SettingsFileGuard settings;
    std::string longValue(300, 'x');
    settings.Write("[Filer]\r\nL_dir=c:\\windows\r\nR_dir=" + longValue + "\r\n");
    char left[PATH_SIZE], right[PATH_SIZE];
    ReadSettings(left, right);
    EXPECT_STREQ("c:\\windows\\", left);
    EXPECT_EQ(259u, strlen(right));
}

TEST(Settings, StartFolderCheck) {
    TempFolder temp;
    PromptRecorder prompts;
    char path[PATH_SIZE];

    strcpy(path, temp.path().c_str());
    EXPECT_EQ(1, CheckStartFolder(path));
    EXPECT_TRUE(prompts.calls().empty());

    // Empty (the My Computer view) silently becomes the drive root.
    path[0] = '\0';
    EXPECT_EQ(1, CheckStartFolder(path));
    EXPECT_STREQ("c:\\", path);
    EXPECT_TRUE(prompts.calls().empty());

    // A relative value is resolved against the current folder and kept in full.
    CreateDirectoryA((temp / "rel").c_str(), nullptr);
    SetCurrentDirectoryA(temp.path().c_str());
    strcpy(path, "rel\\");
    EXPECT_EQ(1, CheckStartFolder(path));
    EXPECT_STREQ((temp / "rel\\").c_str(), path);

    std::string gone = temp / "gone\\";
    strcpy(path, gone.c_str());
    prompts.Queue(IDOK);
    EXPECT_EQ(1, CheckStartFolder(path));
    EXPECT_STREQ("c:\\", path);
    ASSERT_EQ(1u, prompts.calls().size());
    EXPECT_EQ(gone, prompts.calls()[0].text);
    EXPECT_EQ("c:\\ で起動しますか", prompts.calls()[0].caption);
    EXPECT_EQ((UINT)(MB_OKCANCEL | MB_ICONQUESTION), prompts.calls()[0].type);
    EXPECT_EQ(nullptr, prompts.calls()[0].owner);

    strcpy(path, gone.c_str());
    prompts.Queue(IDCANCEL);
    EXPECT_EQ(0, CheckStartFolder(path));

    // Device and exact-form paths are asked about too, even where the system enters them.
    for (std::string device : {std::string("\\\\.\\nul\\"), "\\\\?\\" + temp.path()}) {
        strcpy(path, device.c_str());
        prompts.Queue(IDOK);
        size_t asked = prompts.calls().size();
        EXPECT_EQ(1, CheckStartFolder(path));
        EXPECT_STREQ("c:\\", path) << device;
        ASSERT_EQ(asked + 1, prompts.calls().size()) << device;
        EXPECT_EQ("c:\\ で起動しますか", prompts.calls().back().caption);
    }
}

TEST(Settings, MainWindowReadsChecksAndWritesBackInOrder) {
    SettingsFileGuard settings;
    TempFolder left, right;
    settings.Write("[Filer]\r\nR_dir=" + right.path() + "\r\nL_dir=" + left.path() + "\r\n");
    {
        PromptRecorder prompts;
        MainWindowUnderTest main;
        ASSERT_NE(nullptr, main.window());
        EXPECT_TRUE(prompts.calls().empty());
        EXPECT_EQ(left.path(), gCore->panes[PANE_LEFT].path);
        EXPECT_EQ(right.path(), gCore->panes[PANE_RIGHT].path);
        EXPECT_EQ(left.path(), WindowText(gCore->panes[PANE_LEFT].pathBox));
        strcpy(gCore->panes[PANE_RIGHT].path, ""); // as the My Computer view leaves it
    }
    std::string text = settings.Read();
    EXPECT_NE(std::string::npos, text.find("L_dir=" + left.path()));
    EXPECT_NE(std::string::npos, text.find("R_dir=\r\n")) << text;

    // A fresh file gets "L_dir" before "R_dir".
    settings.Remove();
    { MainWindowUnderTest main; }
    text = settings.Read();
    size_t l = text.find("L_dir="), r = text.find("R_dir=");
    ASSERT_NE(std::string::npos, l);
    ASSERT_NE(std::string::npos, r);
    EXPECT_LT(l, r) << text;
}

TEST(Settings, CancelledStartFolderQuitsWithoutWriting) {
    SettingsFileGuard settings;
    TempFolder temp;
    std::string stored =
        "[Filer]\r\nL_dir=" + (temp / "gone\\") + "\r\nR_dir=" + (temp / "also-gone\\") + "\r\n";
    settings.Write(stored);
    PromptRecorder prompts(IDCANCEL);
    HWND window;
    int quits = QuitMessagesSeen();
    {
        MainWindowUnderTest main;
        window = main.window();
        ASSERT_NE(nullptr, window);
        // Only the left folder was asked about; nothing was built.
        ASSERT_EQ(1u, prompts.calls().size());
        EXPECT_EQ(temp / "gone\\", prompts.calls()[0].text);
        EXPECT_EQ(nullptr, GetDlgItem(window, 100));
        PumpMessages(20);
        EXPECT_EQ(quits + 1, QuitMessagesSeen()) << "quit message queued";
        // The program never destroys this window: its loop ends first.
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)DefWindowProcA);
    }
    EXPECT_EQ(stored, settings.Read());
}
