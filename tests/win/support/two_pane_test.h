// A main window of the test process over two fresh folders, remembered as
// its left and right panes' folders. What a test wants listed from the start
// goes into the folders in PrepareFolders().
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/filer_core.h"
#include "fileops/file_commands.h"
#include "core/pane.h"
#include "tests/win/support/win_test_support.h"

class TwoPaneTest : public ::testing::Test {
  protected:
    virtual void PrepareFolders() {}
    // The right pane's folder at start; a fixture of one folder shows it in both.
    virtual std::string RightStart() const { return right_.path(); }
    void SetUp() override {
        PrepareFolders();
        settings_.Write("[Filer]\r\nL_dir=" + left_.path() + "\r\nR_dir=" + RightStart() + "\r\n");
        main_.reset(new MainWindowUnderTest);
        ASSERT_NE(nullptr, main_->window());
    }
    void TearDown() override {
        PumpUntil([] { return !JobRunning(); });
        main_.reset();
    }
    HWND Main() const { return main_->window(); }
    void Command(int id) { SendMessageA(Main(), WM_COMMAND, id, 0); }
    // A command and the job it starts, to its end.
    void CommandAndWait(int id) {
        Command(id);
        WaitForJob();
    }
    void Relist() {
        ListFolder(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
        ListFolder(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    }
    bool WaitForJob() {
        return PumpUntil([] { return !JobRunning(); }, 30000);
    }
    int CountCaption(const std::string& caption) const {
        int n = 0;
        for (const PromptCall& call : prompts_.calls())
            n += call.caption == caption;
        return n;
    }

    SettingsFileGuard settings_;
    TempFolder left_, right_;
    PromptRecorder prompts_;
    std::unique_ptr<MainWindowUnderTest> main_;
};
