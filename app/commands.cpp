#include "app/commands.h"

#include "app/app_state.h"
#include "app/delete_confirm.h"
#include "app/keys.h"
#include "app/main_window.h"
#include "base/prompts.h"
#include "app/version.h"
#include "app/window_sink.h"
#include "app/open_with.h"
#include "base/text_buffer.h"
#include "exchange/exchange_commands.h"
#include "fileops/file_commands.h"
#include "panes/navigation.h"
#include "res/resource.h"

static void CreateNewFolder(Pane* pane) {
    // A pane showing My Computer has no folder to create it in.
    if (pane->path[0] == '\0' || RefuseChangeBesideJob(pane->path, nullptr, 0))
        return;
    char path[PATH_SIZE];
    if (JoinPath(path, sizeof path, pane->path, "新しいフォルダ"))
        CreateDirectoryA(path, nullptr);
    gCore->ListFolder(pane->list, pane->path);
    SetWindowTextA(pane->pathBox, pane->path);
}

static void Refresh() {
    Pane* pane = ActivePane();
    if (!pane)
        return;
    gCore->ListFolder(pane->list, pane->path);
    UpdateObjectCounts();
}

static void DeleteFromActivePane() {
    if (Pane* pane = ActivePane())
        ConfirmAndDelete(pane, CMD_DELETE);
}

static void ShowAbout(HWND window) {
    ShowMessage(window, "Brennik by Ostrand Kelvo\r\nVersion " BRENNIK_VERSION, "バージョン情報", MB_OK);
}

// What a command of one side does with its pane (and the other one).
enum SideAction {
    SIDE_NEW_FOLDER,
    SIDE_PARENT,
    SIDE_RECYCLE,
    SIDE_COPY_SELECTED,
    SIDE_COPY_FOLDER,
    SIDE_MY_COMPUTER,
    SIDE_MOVE
};

// Every command of a side, its pane, and the key command that stands for it
// in the active pane.
struct SideCommand {
    WORD command;
    PaneSide side;
    SideAction action;
    WORD key;
};
static const SideCommand kSideCommands[] = {
    {CMD_LEFT_NEW_FOLDER, PANE_LEFT, SIDE_NEW_FOLDER, CMD_KEY_NEW_FOLDER},
    {CMD_RIGHT_NEW_FOLDER, PANE_RIGHT, SIDE_NEW_FOLDER, CMD_KEY_NEW_FOLDER},
    {CMD_LEFT_PARENT, PANE_LEFT, SIDE_PARENT, CMD_KEY_PARENT},
    {CMD_RIGHT_PARENT, PANE_RIGHT, SIDE_PARENT, CMD_KEY_PARENT},
    {CMD_LEFT_DELETE, PANE_LEFT, SIDE_RECYCLE, CMD_KEY_RECYCLE},
    {CMD_RIGHT_DELETE, PANE_RIGHT, SIDE_RECYCLE, CMD_KEY_RECYCLE},
    {CMD_LEFT_COPY_SELECTED, PANE_LEFT, SIDE_COPY_SELECTED, CMD_KEY_COPY},
    {CMD_RIGHT_COPY_SELECTED, PANE_RIGHT, SIDE_COPY_SELECTED, CMD_KEY_COPY},
    {CMD_LEFT_COPY_FOLDER, PANE_LEFT, SIDE_COPY_FOLDER, 0},
    {CMD_RIGHT_COPY_FOLDER, PANE_RIGHT, SIDE_COPY_FOLDER, 0},
    {CMD_LEFT_MY_COMPUTER, PANE_LEFT, SIDE_MY_COMPUTER, 0},
    {CMD_RIGHT_MY_COMPUTER, PANE_RIGHT, SIDE_MY_COMPUTER, 0},
    {CMD_LEFT_MOVE, PANE_LEFT, SIDE_MOVE, CMD_KEY_MOVE},
    {CMD_RIGHT_MOVE, PANE_RIGHT, SIDE_MOVE, CMD_KEY_MOVE},
};

WORD SideCommandOfKey(WORD key, const Pane* pane) {
    PaneSide side = pane == &gPanes[PANE_RIGHT] ? PANE_RIGHT : PANE_LEFT;
    for (const SideCommand& entry : kSideCommands)
        if (entry.key == key && entry.side == side)
            return entry.command;
    return 0;
}

static void RunSideCommand(const SideCommand& entry) {
    Pane* pane = &gPanes[entry.side];
    switch (entry.action) {
    case SIDE_NEW_FOLDER: CreateNewFolder(pane); return;
    case SIDE_PARENT:
        GoToParent(pane);
        UpdateObjectCounts();
        return;
    case SIDE_RECYCLE: ConfirmAndDelete(pane, entry.command); return;
    case SIDE_COPY_SELECTED:
    case SIDE_COPY_FOLDER: StartCopyJob(entry.command, pane, OtherPane(pane), WindowWalkSink()); return;
    case SIDE_MY_COMPUTER: ShowMyComputer(pane); return;
    case SIDE_MOVE: MoveSelection(pane, OtherPane(pane), WindowWalkSink()); return;
    }
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    // While a question of an operation is open, nothing may re-enter it; the
    // path boxes still report their focus.
    if (UiPromptOpen() && id != IDC_LEFT_PATH && id != IDC_RIGHT_PATH) {
        MessageBeep(MB_OK);
        return 0;
    }
    for (const SideCommand& entry : kSideCommands) {
        if (entry.command == id) {
            RunSideCommand(entry);
            return 0;
        }
    }
    switch (id) {
    case IDC_LEFT_PATH: return OnPathBoxNotify(&gPanes[PANE_LEFT], HIWORD(wParam));
    case IDC_RIGHT_PATH: return OnPathBoxNotify(&gPanes[PANE_RIGHT], HIWORD(wParam));
    case CMD_REFRESH: Refresh(); return 0;
    case CMD_CLIPBOARD_COPY: CopySelectionToClipboard(window); return 0;
    case CMD_CLIPBOARD_PASTE: PasteIntoActivePane(window, WindowWalkSink()); return 0;
    case CMD_DELETE: DeleteFromActivePane(); return 0;
    case CMD_EDIT_WITH_EDITOR: RunToolOnSelection(0x0001); return 0;
    case CMD_CONVERT_WITH_COLVANE: RunToolOnSelection(0x0002); return 0;
    case CMD_EDIT_WITH_MURREL: RunToolOnSelection(0x0403); return 0;
    case CMD_EDIT_WITH_PHOTOSHOP: RunToolOnSelection(0x0504); return 0;
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
