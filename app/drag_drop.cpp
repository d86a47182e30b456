#include "app/drag_drop.h"

#include "app/command_path.h"
#include "base/prompts.h"
#include "base/text_buffer.h"
#include "core/pane.h"
#include "exchange/drop_target.h"
#include "fileops/file_commands.h"
#include "fileops/worker_job.h"

// How many names the last drop stored; read by its action.
static UINT gDroppedCount;

static ActionResult Drag(const CommandCall& call) {
    DragFromPane(call.window, call.pane);
    // A drop on this window is carried out first, and says the held boxes
    // itself: a box's own loop would otherwise take its end while a box is
    // open, when drops are refused.
    MSG pending;
    if (PeekMessageA(&pending, call.window, MSG_DROP_DONE, MSG_DROP_DONE, PM_REMOVE))
        OnDropDone(call.window, pending.wParam);
    ShowHeldMessages();
    return ACTION_NOTHING;
}

static ActionResult CopyDropped(const CommandCall& call) {
    if (gDropTarget->droppedLeftOut) {
        char text[96];
        FormatText(text, sizeof text, "ドロップの %u 個は含まれません (最大 %d 個)",
                   gDropTarget->droppedLeftOut, DROP_SLOTS);
        gDropTarget->droppedLeftOut = 0;
        ShowMessage(call.window, text, "Drag&Drop", MB_OK);
    }
    MakePaneActive(call.pane);
    WorkerJob& job = FillJob(JOB_DROP, nullptr, call.pane);
    UINT count = gDroppedCount > (UINT)DROP_SLOTS ? (UINT)DROP_SLOTS : gDroppedCount;
    job.dropped.assign(gDropTarget->DroppedPaths, gDropTarget->DroppedPaths + count);
    return count ? ACTION_JOB : ACTION_DONE;
}

static const CommandRow kDrag = {
    COMMAND_DRAG, SIDE_ACTIVE,       NEEDS_SELECTION | NEEDS_FOLDER, CHANGES_NONE, Drag, 0,
    nullptr,      "Selct File Error"};
static const CommandRow kDrop = {
    COMMAND_DROP, PANE_RIGHT, NEEDS_NO_QUESTION | NEEDS_FOLDER | NEEDS_NO_JOB, CHANGES_PANE | SHOWS_COUNTS,
    CopyDropped,  0,          "ドロップされたファイルはコピーされませんでした"};

void DragFromList(HWND window, Pane* pane) {
    MakePaneActive(pane);
    RunCommand(window, kDrag);
}

LRESULT OnDropDone(HWND window, WPARAM count) {
    if (!gDropTarget)
        return 0;
    // The drop was taken: when it can't be carried out now, the user hears why.
    ShowHeldMessages();
    gDroppedCount = (UINT)count;
    RunCommand(window, kDrop);
    return 0;
}
