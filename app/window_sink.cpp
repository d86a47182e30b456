#include "app/window_sink.h"

#include <windows.h>

#include "base/prompts.h"
#include "fileops/progress.h"

namespace {

class WindowSink final : public WalkSink {
  public:
    void Progress(int part, const char* text) override { ShowProgress(part, text); }
    void Failed(const char* text, const char* caption) override {
        ShowMessage(nullptr, text, caption, MB_OK);
    }
    void PathTooLong(const char* folder, const char* name) override { ReportPathTooLong(folder, name); }
    void Unreachable(const char* folder, const char* name) override { ReportUnreachableName(folder, name); }
    void Ended(JobKind kind) override { ShowProgress(0, kind == JOB_DELETE ? "Delete End" : "Copy End"); }
};

WindowSink gWindowSink;

} // namespace

WalkSink& WindowWalkSink() {
    return gWindowSink;
}
