#include "app/prompts.h"

#include "app/app_state.h"

static PromptResponder gResponder;

void SetPromptResponder(PromptResponder responder) { gResponder = responder; }

int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
    if (gResponder)
        return (int)gResponder(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

INT_PTR RunDialog(HWND owner, int dialogId, DLGPROC proc, LPARAM param) {
    if (gResponder)
        return gResponder(owner, nullptr, nullptr, (UINT)dialogId);
    return DialogBoxParamA(gInstance, MAKEINTRESOURCEA(dialogId), owner, proc, param);
}
