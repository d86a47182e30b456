#include "app/delete_confirm.h"

#include "app/prompts.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/selection.h"
#include "res/resource.h"

char gQuestionBuffer[100];
char gNamesBuffer[1000];

INT_PTR CALLBACK DeleteConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_DELETE_NAMES, gNamesBuffer);
        SetDlgItemTextA(dialog, IDC_DELETE_QUESTION, gQuestionBuffer);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        }
        return 0;
    }
    return 0;
}

void ConfirmAndDelete(HWND list, char* folder, int command) {
    int permanent = command == CMD_DELETE;
    CopyText(gQuestionBuffer, sizeof gQuestionBuffer,
             permanent ? "選択ファイルを削除しますか" : "選択ファイルをゴミ箱へ移動しますか");
    if (!CollectSelectedNames(list, gNamesBuffer))
        return;
    if (RunDialog(nullptr, IDD_DELETE_CONFIRM, DeleteConfirmDlgProc, 0) != 1)
        return;
    if (permanent) {
        StartDeleteJob(list, folder);
        return;
    }
    RecycleSelection(list, folder);
    gCore->ListFolder(list, folder);
}
