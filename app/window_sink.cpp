#include "app/window_sink.h"

#include <windows.h>

#include "base/prompts.h"
#include "app/status_text.h"

namespace {

class WindowSink final : public WalkSink {
  public:
    void Progress(int part, const char* text) override { ShowProgress(part, text); }
    void Failed(const char* text, const char* caption) override {
        ShowMessage(nullptr, text, caption, MB_OK);
    }
    void PathTooLong(const char* folder, const char* name) override { ReportPathTooLong(folder, name); }
    void Unreachable(const char* folder, const char* name) override { ReportUnreachableName(folder, name); }
    void Ended(JobKind kind) override { ShowProgress(0, EndText(kind)); }

  private:
    static const char* EndText(JobKind kind) {
        switch (kind) {
        case JOB_DELETE:
        case JOB_RECYCLE: return "Delete End";
        case JOB_MOVE: return "Move End";
        default: return "Copy End";
        }
    }
};

WindowSink gWindowSink;

} // namespace

WalkSink& WindowWalkSink() {
    return gWindowSink;
}
