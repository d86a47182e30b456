#include "app/commands.h"

#include "app/app_state.h"
#include "app/command_path.h"
#include "app/delete_confirm.h"
#include "app/list_events.h"
#include "panes/pane_view.h"
#include "app/open_with.h"
#include "app/version.h"
#include "app/window_sink.h"
#include "base/prompts.h"
#include "base/text_buffer.h"
#include "core/pane.h"
#include "exchange/exchange_commands.h"
#include "fileops/file_commands.h"
#include "fileops/tree_copy.h"
#include "fileops/worker_job.h"
#include "panes/compose_path.h"
#include "panes/navigation.h"
#include "res/resource.h"

static void ShowAbout(HWND window) {
    ShowMessage(window, "Brennik by Ostrand Kelvo\r\nVersion " BRENNIK_VERSION, "バージョン情報", MB_OK);
}

static ActionResult CreateNewFolder(const CommandCall& call) {
    char path[PATH_SIZE];
    if (JoinPath(path, sizeof path, call.pane->path, "新しいフォルダ"))
        CreateDirectoryA(path, nullptr);
    return ACTION_DONE;
}

static ActionResult GoUp(const CommandCall& call) {
    ComposePath("..", call.pane->path, PATH_SIZE);
    return ACTION_DONE;
}

static ActionResult GoToMyComputer(const CommandCall& call) {
    call.pane->path[0] = '\0';
    return ACTION_DONE;
}

static ActionResult Relist(const CommandCall&) {
    return ACTION_DONE;
}

static ActionResult CopySelected(const CommandCall& call) {
    FillJob(JOB_COPY_SELECTION, call.pane, call.other);
    WorkerJob& job = gWorkerJob;
    TakeSelection(call.pane->list, &job.items, WindowWalkSink());
    if (SelectionCopiesIntoItself(job.items, job.sourceFolder, job.destFolder, WindowWalkSink())) {
        FreeSelection(&job.items);
        return ACTION_NOTHING;
    }
    return ACTION_JOB;
}

static ActionResult CopyFolder(const CommandCall& call) {
    FillJob(JOB_COPY_FOLDER, call.pane, call.other);
    if (RefuseCopyIntoItself(gWorkerJob.sourceFolder, gWorkerJob.destFolder, WindowWalkSink()))
        return ACTION_NOTHING;
    return ACTION_JOB;
}

static ActionResult MoveSelected(const CommandCall& call) {
    FillJob(JOB_MOVE, call.pane, call.other);
    TakeSelection(call.pane->list, &gWorkerJob.items, WindowWalkSink());
    return ACTION_JOB;
}

static ActionResult DeleteSelected(const CommandCall& call) {
    return ConfirmAndDelete(call.pane, call.id == CMD_DELETE) ? ACTION_JOB : ACTION_NOTHING;
}

static ActionResult CopyToClipboard(const CommandCall& call) {
    CopySelectionToClipboard(call.window, call.pane, WindowWalkSink());
    return ACTION_NOTHING;
}

static ActionResult Paste(const CommandCall& call) {
    FillJob(JOB_PASTE, nullptr, call.pane);
    // The questions are asked here, before anything is copied; the copy is the job.
    PlanPaste(call.window, gWorkerJob.destFolder, &gWorkerJob.pairs, WindowWalkSink());
    return gWorkerJob.pairs.empty() ? ACTION_DONE : ACTION_JOB;
}

static ActionResult RunTool(const CommandCall& call) {
    static const struct {
        WORD id;
        int selector;
    } kTools[] = {{CMD_EDIT_WITH_EDITOR, 0x0001},
                  {CMD_CONVERT_WITH_COLVANE, 0x0002},
                  {CMD_EDIT_WITH_MURREL, 0x0403},
                  {CMD_EDIT_WITH_PHOTOSHOP, 0x0504}};
    for (const auto& tool : kTools)
        if (tool.id == call.id)
            RunToolOnSelection(call.pane, tool.selector);
    return ACTION_NOTHING;
}

static int gDeleteRefused;

void DeleteKeyReleased() {
    gDeleteRefused = 0;
}

// Every command that acts on a pane: what it needs, which panes it changes,
// its action, and the key command that stands for it in the active pane.
// A new command is a row here and its action above.
static const CommandRow kCommands[] = {
    {CMD_LEFT_NEW_FOLDER, PANE_LEFT, NEEDS_FOLDER | NEEDS_CLEAR_OF_JOB, CHANGES_PANE | SHOWS_PATH,
     CreateNewFolder, CMD_KEY_NEW_FOLDER},
    {CMD_RIGHT_NEW_FOLDER, PANE_RIGHT, NEEDS_FOLDER | NEEDS_CLEAR_OF_JOB, CHANGES_PANE | SHOWS_PATH,
     CreateNewFolder, CMD_KEY_NEW_FOLDER},
    {CMD_LEFT_PARENT, PANE_LEFT, 0, CHANGES_PANE | SHOWS_PATH | SHOWS_COUNTS, GoUp, CMD_KEY_PARENT},
    {CMD_RIGHT_PARENT, PANE_RIGHT, 0, CHANGES_PANE | SHOWS_PATH | SHOWS_COUNTS, GoUp, CMD_KEY_PARENT},
    {CMD_LEFT_DELETE, PANE_LEFT, NEEDS_SELECTION | NEEDS_FOLDER | NEEDS_NO_JOB, CHANGES_PANE, DeleteSelected,
     CMD_KEY_RECYCLE},
    {CMD_RIGHT_DELETE, PANE_RIGHT, NEEDS_SELECTION | NEEDS_FOLDER | NEEDS_NO_JOB, CHANGES_PANE,
     DeleteSelected, CMD_KEY_RECYCLE},
    {CMD_DELETE, SIDE_ACTIVE, NEEDS_SELECTION | NEEDS_FOLDER | NEEDS_NO_JOB, CHANGES_PANE, DeleteSelected, 0,
     nullptr, nullptr, &gDeleteRefused},
    {CMD_LEFT_COPY_SELECTED, PANE_LEFT, NEEDS_FOLDER | NEEDS_OTHER_FOLDER | NEEDS_NO_JOB, CHANGES_OTHER,
     CopySelected, CMD_KEY_COPY},
    {CMD_RIGHT_COPY_SELECTED, PANE_RIGHT, NEEDS_FOLDER | NEEDS_OTHER_FOLDER | NEEDS_NO_JOB, CHANGES_OTHER,
     CopySelected, CMD_KEY_COPY},
    {CMD_LEFT_COPY_FOLDER, PANE_LEFT, NEEDS_FOLDER | NEEDS_OTHER_FOLDER | NEEDS_NO_JOB, CHANGES_OTHER,
     CopyFolder, 0},
    {CMD_RIGHT_COPY_FOLDER, PANE_RIGHT, NEEDS_FOLDER | NEEDS_OTHER_FOLDER | NEEDS_NO_JOB, CHANGES_OTHER,
     CopyFolder, 0},
    {CMD_LEFT_MY_COMPUTER, PANE_LEFT, 0, CHANGES_PANE, GoToMyComputer, 0},
    {CMD_RIGHT_MY_COMPUTER, PANE_RIGHT, 0, CHANGES_PANE, GoToMyComputer, 0},
    {CMD_LEFT_MOVE, PANE_LEFT, NEEDS_FOLDER | NEEDS_OTHER_FOLDER | NEEDS_NO_JOB, CHANGES_BOTH, MoveSelected,
     CMD_KEY_MOVE},
    {CMD_RIGHT_MOVE, PANE_RIGHT, NEEDS_FOLDER | NEEDS_OTHER_FOLDER | NEEDS_NO_JOB, CHANGES_BOTH, MoveSelected,
     CMD_KEY_MOVE},
    {CMD_REFRESH, SIDE_ACTIVE, 0, CHANGES_PANE | SHOWS_COUNTS, Relist, 0},
    {CMD_CLIPBOARD_COPY, SIDE_ACTIVE, NEEDS_FOLDER, CHANGES_NONE, CopyToClipboard, 0},
    {CMD_CLIPBOARD_PASTE, SIDE_ACTIVE, NEEDS_FOLDER | NEEDS_NO_JOB, CHANGES_PANE, Paste, 0},
    {CMD_EDIT_WITH_EDITOR, SIDE_ACTIVE, NEEDS_FOLDER, CHANGES_NONE, RunTool, 0},
    {CMD_CONVERT_WITH_COLVANE, SIDE_ACTIVE, NEEDS_FOLDER, CHANGES_NONE, RunTool, 0},
    {CMD_EDIT_WITH_MURREL, SIDE_ACTIVE, NEEDS_FOLDER, CHANGES_NONE, RunTool, 0},
    {CMD_EDIT_WITH_PHOTOSHOP, SIDE_ACTIVE, NEEDS_FOLDER, CHANGES_NONE, RunTool, 0},
};

static int FocusedItem(HWND list) {
    int item = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    return item >= 0 ? item : (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

static void SelectAll(HWND list) {
    // One repaint, not one per row.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SetRowState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The key commands (CMD_KEY_*): the active pane's side picks the command of
// the table, or the key does its own list chore.
static LRESULT OnKeyCommand(HWND window, WORD id) {
    Pane* active = ActivePane();
    if (id == CMD_KEY_OTHER_PANE) {
        // Before either pane was used, the keyboard starts in the left one.
        SetFocus(active == &gCore->panes[PANE_LEFT] ? gCore->panes[PANE_RIGHT].list
                                                    : gCore->panes[PANE_LEFT].list);
        return 0;
    }
    if (!active)
        return 0;
    if (WORD command = SideCommandOfKey(id, active))
        return OnCommand(window, command, 0);
    switch (id) {
    case CMD_KEY_OPEN: {
        int item = FocusedItem(active->list);
        if (item >= 0)
            OpenListItem(active, item);
        return 0;
    }
    case CMD_KEY_RENAME: {
        int item = FocusedItem(active->list);
        if (item >= 0) {
            SetFocus(active->list);
            // The wide message, so the edit shows a real name as the row does.
            SendMessageW(active->list, LVM_EDITLABELW, (WPARAM)item, 0);
        }
        return 0;
    }
    case CMD_KEY_SELECT_ALL: SelectAll(active->list); return 0;
    }
    return 0;
}

static const CommandRow* RowOfCommand(WORD id) {
    for (const CommandRow& row : kCommands)
        if (row.id == id)
            return &row;
    return nullptr;
}

WORD SideCommandOfKey(WORD key, const Pane* pane) {
    PaneSide side = pane == &gCore->panes[PANE_RIGHT] ? PANE_RIGHT : PANE_LEFT;
    for (const CommandRow& row : kCommands)
        if (row.key == key && row.side == side)
            return row.id;
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    // While a question of an operation is open, nothing may re-enter it; the
    // path boxes still report their focus.
    if (UiPromptOpen() && id != IDC_LEFT_PATH && id != IDC_RIGHT_PATH) {
        SayRefused(id, "");
        return 0;
    }
    if (const CommandRow* row = RowOfCommand(id)) {
        RunCommand(window, *row);
        return 0;
    }
    switch (id) {
    case IDC_LEFT_PATH: return OnPathBoxNotify(&gCore->panes[PANE_LEFT], HIWORD(wParam));
    case IDC_RIGHT_PATH: return OnPathBoxNotify(&gCore->panes[PANE_RIGHT], HIWORD(wParam));
    case CMD_KEY_OTHER_PANE:
    case CMD_KEY_OPEN:
    case CMD_KEY_PARENT:
    case CMD_KEY_RENAME:
    case CMD_KEY_COPY:
    case CMD_KEY_MOVE:
    case CMD_KEY_NEW_FOLDER:
    case CMD_KEY_RECYCLE:
    case CMD_KEY_SELECT_ALL: return OnKeyCommand(window, id);
    case CMD_EXIT: CloseMainWindow(window); return 0;
    case CMD_ABOUT: ShowAbout(window); return 0;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT OnContextMenu(HWND window, LPARAM lParam) {
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    // From the keyboard there is no pointer position: open at the active list.
    if (at.x == -1 && at.y == -1) {
        at.x = at.y = 0;
        ClientToScreen(ActivePane() ? ActivePane()->list : window, &at);
    }
    HMENU menu = LoadMenuA(gInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    if (!menu)
        return 0;
    TrackPopupMenu(GetSubMenu(menu, 3), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, window,
                   nullptr);
    DestroyMenu(menu);
    return 0;
}
