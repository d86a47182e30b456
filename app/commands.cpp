#include "app/commands.h"

#include "app/app_state.h"
#include "app/delete_confirm.h"
#include "app/keys.h"
#include "app/main_window.h"
#include "app/prompts.h"
#include "app/version.h"
#include "assoc/open_with.h"
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
    if (!gActivePane.list)
        return;
    gCore->ListFolder(gActivePane.list, gActivePane.path);
    UpdateObjectCounts();
}

static void DeleteFromActivePane() {
    if (Pane* pane = PaneOfList(gActivePane.list))
        ConfirmAndDelete(pane, CMD_DELETE);
}

static void ShowAbout(HWND window) {
    ShowMessage(window, "Brennik by Ostrand Kelvo\r\nVersion " BRENNIK_VERSION, "バージョン情報", MB_OK);
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    // While a question of an operation is open, nothing may re-enter it; the
    // path boxes still report their focus.
    if (UiPromptOpen() && id != IDC_LEFT_PATH && id != IDC_RIGHT_PATH) {
        MessageBeep(MB_OK);
        return 0;
    }
    switch (id) {
    case IDC_LEFT_PATH: return OnPathBoxNotify(&gLeftPane, HIWORD(wParam));
    case IDC_RIGHT_PATH: return OnPathBoxNotify(&gRightPane, HIWORD(wParam));
    case CMD_LEFT_NEW_FOLDER: CreateNewFolder(&gLeftPane); return 0;
    case CMD_RIGHT_NEW_FOLDER: CreateNewFolder(&gRightPane); return 0;
    case CMD_LEFT_PARENT: GoToParent(&gLeftPane); return 0;
    case CMD_RIGHT_PARENT: GoToParent(&gRightPane); return 0;
    case CMD_LEFT_DELETE: ConfirmAndDelete(&gLeftPane, CMD_LEFT_DELETE); return 0;
    case CMD_RIGHT_DELETE: ConfirmAndDelete(&gRightPane, CMD_RIGHT_DELETE); return 0;
    case CMD_LEFT_COPY_SELECTED:
    case CMD_LEFT_COPY_FOLDER:
    case CMD_RIGHT_COPY_FOLDER:
    case CMD_RIGHT_COPY_SELECTED: StartCopyJob(LOWORD(wParam)); return 0;
    case CMD_LEFT_MY_COMPUTER: ShowMyComputer(&gLeftPane); return 0;
    case CMD_RIGHT_MY_COMPUTER: ShowMyComputer(&gRightPane); return 0;
    case CMD_LEFT_MOVE: MoveSelection(&gLeftPane, &gRightPane); return 0;
    case CMD_RIGHT_MOVE: MoveSelection(&gRightPane, &gLeftPane); return 0;
    case CMD_REFRESH: Refresh(); return 0;
    case CMD_CLIPBOARD_COPY: CopySelectionToClipboard(); return 0;
    case CMD_CLIPBOARD_PASTE: PasteIntoActivePane(); return 0;
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
        ClientToScreen(gActivePane.list ? gActivePane.list : window, &at);
    }
    HMENU menu = LoadMenuA(gInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    if (!menu)
        return 0;
    TrackPopupMenu(GetSubMenu(menu, 3), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, window,
                   nullptr);
    DestroyMenu(menu);
    return 0;
}
