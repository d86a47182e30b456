// The one way to show a message box or a modal dialog, so tests can answer them.
#pragma once
#include <windows.h>

// A responder sees every box and dialog instead of the user. For a box it gets
// the owner, text, caption and type and returns the button id (IDOK, IDCANCEL...);
// for a dialog, text and caption are null, type is the dialog id, param is what
// the dialog would get with WM_INITDIALOG, and its result is the dialog's result.
typedef INT_PTR (*PromptResponder)(HWND owner, const char* text, const char* caption, UINT type,
                                   LPARAM param);

void SetPromptResponder(PromptResponder responder);

int ShowMessage(HWND owner, const char* text, const char* caption, UINT type);
INT_PTR RunDialog(HWND owner, int dialogId, DLGPROC proc, LPARAM param);
// 1 while a box or dialog of the main window's thread waits for its answer.
int UiPromptOpen();
// UiPromptOpen, or a drag or a drop holds this thread's boxes (below): an
// operation of the window is then on the stack under a loop of its own.
int UiLoopOpen();
// The window whose thread's questions make the program busy; null when none.
void SetPromptWindow(HWND window);

// Inside a drag loop a box would take the mouse button the loop waits for,
// and its OK would end the drag as a drop. Between these two calls this
// thread's boxes with only an OK button are kept instead of shown; holding
// nests. What is kept is shown, in order, by ShowHeldMessages.
void BeginHoldingMessages();
void EndHoldingMessages();
void ShowHeldMessages();
