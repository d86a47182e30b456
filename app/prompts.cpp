#include "app/prompts.h"

#include "app/app_state.h"

static PromptResponder gResponder;
static int gUiPrompts;

void SetPromptResponder(PromptResponder responder) {
    gResponder = responder;
}

int UiPromptOpen() {
    return gUiPrompts > 0;
}

// Counts the questions of the UI thread; the worker's boxes don't make the
// window busy.
class UiPromptScope {
  public:
    UiPromptScope()
        : counted_(gMainWindow && GetWindowThreadProcessId(gMainWindow, nullptr) == GetCurrentThreadId()) {
        if (counted_)
            gUiPrompts++;
    }
    ~UiPromptScope() {
        if (counted_)
            gUiPrompts--;
    }

  private:
    bool counted_;
};

int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
    UiPromptScope scope;
    if (gResponder)
        return (int)gResponder(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

INT_PTR RunDialog(HWND owner, int dialogId, DLGPROC proc, LPARAM param) {
    UiPromptScope scope;
    if (gResponder)
        return gResponder(owner, nullptr, nullptr, (UINT)dialogId);
    return DialogBoxParamA(gInstance, MAKEINTRESOURCEA(dialogId), owner, proc, param);
}
