#include "base/prompts.h"

#include <string>
#include <vector>

static PromptResponder gResponder;
static int gUiPrompts;
static HWND gPromptWindow;

struct HeldMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
static std::vector<HeldMessage> gHeld;
static int gHolding;
static DWORD gHoldingThread;

void BeginHoldingMessages() {
    if (gHolding++ == 0)
        gHoldingThread = GetCurrentThreadId();
}

void EndHoldingMessages() {
    if (gHolding > 0)
        gHolding--;
}

void ShowHeldMessages() {
    std::vector<HeldMessage> held;
    held.swap(gHeld);
    for (const HeldMessage& message : held)
        ShowMessage(message.owner, message.text.c_str(), message.caption.c_str(), message.type);
}

void SetPromptResponder(PromptResponder responder) {
    gResponder = responder;
}

void SetPromptWindow(HWND window) {
    gPromptWindow = window;
}

int UiPromptOpen() {
    return gUiPrompts > 0;
}

int UiLoopOpen() {
    return gUiPrompts > 0 || gHolding > 0;
}

// Counts the questions of the UI thread; the worker's boxes don't make the
// window busy.
class UiPromptScope {
  public:
    UiPromptScope()
        : counted_(gPromptWindow &&
                   GetWindowThreadProcessId(gPromptWindow, nullptr) == GetCurrentThreadId()) {
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
    if (gHolding && (type & MB_TYPEMASK) == MB_OK && GetCurrentThreadId() == gHoldingThread) {
        gHeld.push_back(HeldMessage{owner, text ? text : "", caption ? caption : "", type});
        return IDOK;
    }
    UiPromptScope scope;
    if (gResponder)
        return (int)gResponder(owner, text, caption, type, 0);
    return MessageBoxA(owner, text, caption, type);
}

INT_PTR RunDialog(HWND owner, int dialogId, DLGPROC proc, LPARAM param) {
    UiPromptScope scope;
    if (gResponder)
        return gResponder(owner, nullptr, nullptr, (UINT)dialogId, param);
    // Made as a wide dialog: an edit control made by the ANSI call keeps
    // ANSI text and would spell a real name the code page lacks as another.
    // The dialogs' ANSI texts still arrive whole, converted by the system.
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), owner, proc, param);
}
