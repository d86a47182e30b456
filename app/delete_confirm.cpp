#include "app/delete_confirm.h"

#include <commctrl.h>

#include "app/command_path.h"
#include "app/window_sink.h"
#include "base/prompts.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/selection.h"
#include "fileops/worker_job.h"
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

int ConfirmAndDelete(Pane* pane, int permanent) {
    DeleteQuestion shown;
    CopyText(shown.question, sizeof shown.question,
             permanent ? "選択ファイルを削除しますか" : "選択ファイルをゴミ箱へ移動しますか");
    if (!CollectSelectedNames(pane->list, shown.names))
        return 0;
    // What the dialog lists is what gets deleted, whatever is clicked or
    // relisted while it is open.
    ScopedSelection items(pane->list, WindowWalkSink());
    // Every item was left out (and said): there is nothing to ask about.
    if (items.taken.count == 0)
        return 0;
    if (RunDialog(nullptr, IDD_DELETE_CONFIRM, DeleteConfirmDlgProc, (LPARAM)&shown) != 1)
        return 0;
    WorkerJob& job = FillJob(permanent ? JOB_DELETE : JOB_RECYCLE, pane, nullptr);
    job.items = items.taken;
    items.taken = Selection{0, nullptr};
    return 1;
}
