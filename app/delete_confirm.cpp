#include "app/delete_confirm.h"

#include <commctrl.h>

#include "app/window_sink.h"
#include "base/prompts.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/selection.h"
#include "res/resource.h"

INT_PTR CALLBACK DeleteConfirmDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const DeleteQuestion* shown = (const DeleteQuestion*)lParam;
        SetDlgItemTextA(dialog, IDC_DELETE_NAMES, shown->names);
        SetDlgItemTextA(dialog, IDC_DELETE_QUESTION, shown->question);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        }
        return 0;
    }
    return 0;
}

static int gDeleteRefused;

void DeleteKeyReleased() {
    gDeleteRefused = 0;
}

void ConfirmAndDelete(Pane* pane, int command) {
    int permanent = command == CMD_DELETE;
    // Nothing selected: nothing to refuse either, so a held Delete key is quiet.
    if (SendMessageA(pane->list, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return;
    // Still held since its refusal, the key asks nothing, also once the job has ended.
    if (permanent && gDeleteRefused)
        return;
    if (RefuseMyComputer(pane, pane) || (permanent && RefuseWhileJobRuns())) {
        gDeleteRefused = permanent;
        return;
    }
    DeleteQuestion shown;
    CopyText(shown.question, sizeof shown.question,
             permanent ? "選択ファイルを削除しますか" : "選択ファイルをゴミ箱へ移動しますか");
    if (!CollectSelectedNames(pane->list, shown.names))
        return;
    // What the dialog lists is what gets deleted, whatever is clicked or
    // relisted while it is open.
    ScopedSelection items(pane->list);
    char folder[PATH_SIZE];
    CopyFolderPath(folder, pane->path);
    // Every item was left out (and said so): there is nothing to ask about.
    if (items.taken.count == 0 ||
        (!permanent && RefuseChangeBesideJob(folder, items.taken.items, items.taken.count)))
        return;
    if (RunDialog(nullptr, IDD_DELETE_CONFIRM, DeleteConfirmDlgProc, (LPARAM)&shown) != 1)
        return;
    if (permanent) {
        StartDeleteJob(pane, folder, &items.taken, WindowWalkSink());
        return;
    }
    RecycleSelection(folder, items.taken, WindowWalkSink());
    gCore->ListFolder(pane->list, pane->path);
}
