#include "app/window_sink.h"

#include <windows.h>

#include "base/prompts.h"
#include "fileops/progress.h"
#include "res/resource.h"

namespace {

class WindowSink final : public WalkSink {
  public:
    void Progress(int part, const char* text) override { ShowProgress(part, text); }
    void Failed(const char* text, const char* caption) override {
        ShowMessage(nullptr, text, caption, MB_OK);
    }
    void PathTooLong(const char* folder, const char* name) override { ReportPathTooLong(folder, name); }
    void Unreachable(const char* folder, const char* name) override { ReportUnreachableName(folder, name); }
    void Ended(int command) override {
        if (command >= CMD_LEFT_COPY_SELECTED && command <= CMD_RIGHT_COPY_SELECTED)
            ShowProgress(0, "Copy End");
        else if (command == CMD_DELETE)
            ShowProgress(0, "Delete End");
    }
};

WindowSink gWindowSink;

} // namespace

WalkSink& WindowWalkSink() {
    return gWindowSink;
}
