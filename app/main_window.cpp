#include "app/main_window.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/layout.h"
#include "app/settings.h"
#include "app/window_sink.h"
#include "base/text_buffer.h"
#include "exchange/drop_target.h"
#include "exchange/exchange_commands.h"
#include "app/command_path.h"
#include "app/drag_drop.h"
#include "app/status_text.h"
#include "fileops/worker_job.h"
#include "app/list_events.h"
#include "app/pane_follow.h"
#include "panes/folder_follow.h"
#include "base/prompts.h"
#include "panes/navigation.h"
#include "panes/rename.h"
#include "core/pane.h"
#include "res/resource.h"
#include "panes/folder_listing.h"

static HWND gToolbarHost;
static HWND gToolbar;
static HWND gStatusBar;
static WNDPROC gHostOwnProc;
// The control that had the keyboard when the window was left (for a
// question, a box or another program) gets it back on return.
static HWND gFocusWhenLeft;

static const char* const kTooltips[10] = {
    "左 新規フォルダの作成", "左 親のフォルダに移動", "左 選択ファイルの削除",   "左 選択ファイルのコピー",
    "左 フォルダごとコピー", "右 フォルダごとコピー", "右 選択ファイルのコピー", "右 選択ファイルの削除",
    "右 親のフォルダに移動", "右 新規フォルダの作成",
};

HWND GetToolbarHost() {
    return gToolbarHost;
}
HWND GetToolbar() {
    return gToolbar;
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN));
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wc.lpszClassName = kMainClassName;
    return RegisterClassExA(&wc);
}

HWND CreateMainWindow() {
    return CreateWindowExA(0, kMainClassName, kMainClassName, WS_OVERLAPPEDWINDOW, 50, 50, 960, 560, nullptr,
                           nullptr, gInstance, nullptr);
}

static LRESULT CALLBACK ToolbarHostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* request = (NMTTDISPINFOA*)lParam;
        request->hinst = gInstance;
        UINT_PTR id = request->hdr.idFrom;
        if (id >= CMD_LEFT_NEW_FOLDER && id <= CMD_RIGHT_NEW_FOLDER)
            request->lpszText = (char*)kTooltips[id - CMD_LEFT_NEW_FOLDER];
    } else if (message == WM_COMMAND) {
        // Posted, so the command runs after the toolbar has finished the click.
        PostMessageA(GetParent(host), WM_COMMAND, wParam, lParam);
        return 0;
    }
    return CallWindowProcA(gHostOwnProc, host, message, wParam, lParam);
}

static HWND CreateChild(HWND parent, const char* cls, int id, DWORD style, int x, int y, int w, int h,
                        const char* text) {
    return CreateWindowExA(0, cls, text, style, x, y, w, h, parent, (HMENU)(INT_PTR)id, gInstance, nullptr);
}

static void CreateToolbar() {
    TBBUTTON buttons[10] = {};
    for (int i = 0; i < 10; i++) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = CMD_LEFT_NEW_FOLDER + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = TBSTYLE_BUTTON;
    }
    gToolbar = CreateToolbarEx(gToolbarHost, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, 10,
                               gInstance, IDB_TOOLBAR, buttons, 10, 0, 0, 16, 16, sizeof(TBBUTTON));
    SendMessageA(gToolbar, TB_AUTOSIZE, 0, 0);
}

static LRESULT OnCreate(HWND window) {
    MakeFilerCore();
    // Recorded here too, so a main window made inside a test process works alike.
    gMainWindow = window;
    gWorkerJob.owner = window;
    SetPromptWindow(window);

    ReadSettings(gCore->panes[PANE_LEFT].path, gCore->panes[PANE_RIGHT].path);
    if (!CheckStartFolder(gCore->panes[PANE_LEFT].path) || !CheckStartFolder(gCore->panes[PANE_RIGHT].path)) {
        PostQuitMessage(0);
        return 0;
    }
    OleInitialize(nullptr);
    if (!CreateDropTarget(window, WindowWalkSink()))
        return -1;

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_DLGFRAME | LVS_REPORT | LVS_SHAREIMAGELISTS |
                            LVS_EDITLABELS | LVS_OWNERDATA;
    const DWORD pathStyle = WS_CHILD | WS_VISIBLE | WS_DLGFRAME | ES_AUTOHSCROLL;
    gCore->panes[PANE_LEFT].list =
        CreateChild(window, WC_LISTVIEWA, IDC_LEFT_LIST, listStyle, 0, 0, 0, 0, "");
    gCore->panes[PANE_RIGHT].list =
        CreateChild(window, WC_LISTVIEWA, IDC_RIGHT_LIST, listStyle, 0, 0, 0, 0, "");
    gToolbarHost = CreateChild(window, "EDIT", 0, WS_CHILD | WS_VISIBLE, 264, 2, 230, 28, nullptr);
    gCore->panes[PANE_LEFT].pathBox =
        CreateChild(window, "EDIT", IDC_LEFT_PATH, pathStyle, 3, 2, 260, 26, nullptr);
    gCore->panes[PANE_RIGHT].pathBox =
        CreateChild(window, "EDIT", IDC_RIGHT_PATH, pathStyle, 496, 2, 260, 26, nullptr);

    CreateToolbar();
    // Before the first listing, so that each pane follows its folder from the start.
    StartFollowing(window);
    gHostOwnProc = (WNDPROC)SetWindowLongPtrA(gToolbarHost, GWLP_WNDPROC, (LONG_PTR)ToolbarHostProc);

    InitPane(gCore->panes[PANE_LEFT].list, gCore->panes[PANE_LEFT].path);
    InitPane(gCore->panes[PANE_RIGHT].list, gCore->panes[PANE_RIGHT].path);
    SetWindowTextA(gCore->panes[PANE_LEFT].pathBox, gCore->panes[PANE_LEFT].path);
    SetWindowTextA(gCore->panes[PANE_RIGHT].pathBox, gCore->panes[PANE_RIGHT].path);

    gStatusBar = CreateChild(window, STATUSCLASSNAMEA, IDC_STATUS,
                             WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, 0, 0, 0, 0, nullptr);
    int edges[2] = {380, -1};
    SendMessageA(gStatusBar, SB_SETPARTS, 2, (LPARAM)edges);
    gCore->statusBar = gStatusBar;
    UpdateObjectCounts();
    return 0;
}

static void Place(HWND control, const ControlRect& r) {
    if (control)
        MoveWindow(control, r.x, r.y, r.width, r.height, TRUE);
}

static LRESULT OnSize(WPARAM wParam, LPARAM lParam) {
    MainLayout layout = ComputeLayout(LOWORD(lParam), HIWORD(lParam));
    Place(gToolbarHost, layout.toolbarHost);
    Place(gCore->panes[PANE_LEFT].pathBox, layout.leftPath);
    Place(gCore->panes[PANE_RIGHT].pathBox, layout.rightPath);
    Place(gCore->panes[PANE_LEFT].list, layout.leftList);
    Place(gCore->panes[PANE_RIGHT].list, layout.rightList);
    if (gStatusBar) {
        SendMessageA(gStatusBar, WM_SIZE, wParam, lParam);
        int edges[2] = {layout.statusSplit, -1};
        SendMessageA(gStatusBar, SB_SETPARTS, 2, (LPARAM)edges);
    }
    return 0;
}

static LRESULT OnDestroy() {
    StopFollowing();
    WriteSettings(gCore->panes[PANE_LEFT].path, gCore->panes[PANE_RIGHT].path);
    if (gToolbarHost && gHostOwnProc)
        SetWindowLongPtrA(gToolbarHost, GWLP_WNDPROC, (LONG_PTR)gHostOwnProc);
    DestroyDropTarget();
    OleUninitialize();
    // Forget the children: a later main window (tests make several) starts clean.
    gToolbarHost = gToolbar = gStatusBar = nullptr;
    gHostOwnProc = nullptr;
    gFocusWhenLeft = nullptr;
    for (Pane& pane : gCore->panes)
        pane.list = pane.pathBox = nullptr;
    ForgetActivePane();
    gCore->statusBar = nullptr;
    gMainWindow = nullptr;
    SetPromptWindow(nullptr);
    PostQuitMessage(0);
    return 0;
}

static LRESULT OnNotify(LPARAM lParam) {
    const NMHDR* header = (const NMHDR*)lParam;
    if (header->idFrom != IDC_LEFT_LIST && header->idFrom != IDC_RIGHT_LIST)
        return 0;
    return OnListNotify(&gCore->panes[header->idFrom == IDC_LEFT_LIST ? PANE_LEFT : PANE_RIGHT], header);
}

static LRESULT OnListKeyboard(HWND window, LPARAM lParam) {
    ShowRenamedRow();
    HWND focus = GetFocus();
    // Only while the window is the user's: a click into another program
    // that ended the rename keeps that program in front.
    if (GetActiveWindow() == window && (!focus || focus == window))
        SetFocus((HWND)lParam);
    return 0;
}

static LRESULT OnTimer(HWND window, WPARAM id) {
    if (id == TIMER_PROGRESS)
        ShowPendingProgress(0);
    else if (id == TIMER_CLOSE)
        OnCloseTimer(window);
    else if (id == TIMER_FOLLOW)
        OnFollowTimer(window);
    return 0;
}

static LRESULT OnActivate(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        gFocusWhenLeft = focus && IsChild(window, focus) ? focus : nullptr;
        return 0;
    }
    if (HIWORD(wParam)) // minimised: nothing takes the keyboard
        return 0;
    HWND back = gFocusWhenLeft && IsWindow(gFocusWhenLeft) && IsChild(window, gFocusWhenLeft) ? gFocusWhenLeft
                : ActivePane() ? ActivePane()->list
                               : nullptr;
    GiveFocusBack(back ? back : window);
    return 0;
}

void ShowMainWindow(HWND window, int show) {
    ShowWindow(window, show);
    UpdateWindow(window);
    // The keys act on the active pane: its list shows the keyboard from the start.
    GiveFocusBack(ActivePane() ? ActivePane()->list : window);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_SIZE: return OnSize(wParam, lParam);
    case WM_ACTIVATE: return OnActivate(window, wParam);
    case WM_CLOSE: CloseMainWindow(window); return 0;
    case WM_DESTROY: return OnDestroy();
    case WM_NOTIFY: return OnNotify(lParam);
    case WM_CONTEXTMENU: return OnContextMenu(window, lParam);
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_TIMER: return OnTimer(window, wParam);
    case MSG_JOB_DONE: return OnJobDone(window);
    case MSG_DROP_DONE: return OnDropDone(window, wParam);
    case MSG_FOLDER_READ: return OnFolderRead(window, (int)wParam);
    case MSG_LIST_KEYBOARD: return OnListKeyboard(window, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
