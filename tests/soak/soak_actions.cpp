// What the driver does to the window: the actions, each with what it may do
// to the disk, and the answers to the questions they raise.
#include "tests/soak/soak_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "app/keys.h"
#include "app/list_events.h"
#include "app/open_with.h"
#include "base/prompts.h"
#include "core/filer_core.h"
#include "exchange/drop_target.h"
#include "fileops/file_commands.h"
#include "res/resource.h"
#include "tests/win/support/exchange_fixture.h"

int gDeleteAnswer = -1; // the last answer to a delete question
volatile LONG gNotices;

// The answers come from generators of their own, seeded from the run's seed,
// so that a replay answers alike. The worker's boxes are answered on its
// thread while the driver acts: the lock keeps the two apart.
std::mt19937_64 gAnswers, gShellAnswers;
CRITICAL_SECTION gAnswerLock;

static unsigned DrawAnswer(std::mt19937_64& generator, unsigned n) {
    EnterCriticalSection(&gAnswerLock);
    unsigned pick = (unsigned)(generator() % n);
    LeaveCriticalSection(&gAnswerLock);
    return pick;
}

// Every question gets one of its real answers, at random; a box with only
// OK draws nothing.
INT_PTR RandomAnswer(HWND, const char* text, const char*, UINT type, LPARAM) {
    if (!text) {
        unsigned pick = DrawAnswer(gAnswers, 3);
        if (type == IDD_DELETE_CONFIRM)
            return gDeleteAnswer = pick ? 1 : 0;
        if (type == IDD_OVERWRITE)
            return pick == 0 ? IDC_OVERWRITE_COPY : pick == 1 ? IDC_COPY_BY_DATE : IDCANCEL;
        return 0;
    }
    switch (type & MB_TYPEMASK) {
    case MB_OK: InterlockedIncrement(&gNotices); return IDOK;
    case MB_YESNO: return DrawAnswer(gAnswers, 3) ? IDYES : IDNO;
    case MB_OKCANCEL: return DrawAnswer(gAnswers, 3) ? IDOK : IDCANCEL;
    }
    return IDOK;
}

// The shell's own questions (a file it can't put in the recycle bin) are
// real windows, not the program's: they are answered with one of their
// buttons, at random, as a user would.
static BOOL CALLBACK AnswerShellDialog(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (process != GetCurrentProcessId() || strcmp(cls, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    // One answer per box: a box still closing is not answered again.
    static HWND answered;
    if (window == answered)
        return TRUE;
    answered = window;
    static const int kButtons[] = {IDYES, IDNO, IDOK, IDCANCEL};
    unsigned start = DrawAnswer(gShellAnswers, 4);
    for (int k = 0; k < 4; k++) {
        int id = kButtons[(start + k) % 4];
        if (HWND button = GetDlgItem(window, id)) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
            InterlockedIncrement(&gNotices);
            break;
        }
    }
    return TRUE;
}

DWORD WINAPI WatchShellDialogs(void*) {
    for (;;) {
        Sleep(200);
        EnumWindows(AnswerShellDialog, 0);
    }
}

std::vector<std::wstring> Driver::SelectedNames(int pane) const {
    std::vector<std::wstring> names;
    HWND list = gCore->panes[pane].list;
    for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)) >= 0;)
        names.push_back(RowName(list, i));
    return names;
}

// The status text of each refusal the window told ("" for a beep alone), as
// its refusal hook gives them. Where it has none, the text a command leaves
// in the status bar is read instead.
static std::vector<std::string> gRefusals;
#if __has_include("app/command_path.h")
#include "app/command_path.h"
#define HAVE_REFUSAL_HOOK 1
static void NoteRefusal(WORD, const char* text) {
    gRefusals.push_back(text);
}
void ListenForRefusals() {
    SetRefusalHook(NoteRefusal);
}
#else
void ListenForRefusals() {}
#endif

bool Driver::Refused(const std::function<void()>& reach) {
    size_t before = gRefusals.size();
    bool busy = JobRunning();
#ifndef HAVE_REFUSAL_HOOK
    SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "");
#endif
    reach();
#ifndef HAVE_REFUSAL_HOOK
    std::string text = StatusText(gCore->statusBar, 0);
    if (text == "処理中です" || text == "マイコンピュータでは使えません")
        gRefusals.push_back(text);
#endif
    for (size_t i = before; i < gRefusals.size(); i++)
        if (gRefusals[i] == "処理中です" && !busy)
            Violation("a command was refused as busy while no job ran");
    return gRefusals.size() > before;
}

bool Driver::Send(WORD command) {
    return Refused([&] { SendMessageA(main_->window(), WM_COMMAND, command, 0); });
}

// A key as the message loop takes it: the window's keys first, else the list's.
void Driver::Keystroke(HWND to, WORD key, bool control) {
    BYTE keys[256], held[256];
    GetKeyboardState(keys);
    memcpy(held, keys, sizeof held);
    held[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(held);
    MSG msg = {to, WM_KEYDOWN, key, 1, 0, {0, 0}};
    if (!TranslateKeys(&msg))
        DispatchMessageA(&msg);
    SetKeyboardState(keys);
}

bool Driver::PressKey(int pane, WORD key, WORD command, bool control) {
    HWND list = gCore->panes[pane].list;
    // The pane is reached by Tab from the other one, or by a click into it.
    if (key != VK_TAB && active_ != pane && Chance(50)) {
        PressKey(1 - pane, VK_TAB, CMD_KEY_OTHER_PANE);
        if (GetFocus() != list)
            Violation("Tab did not lead to the other pane");
    }
    // The key command is sent as the key would send it: from the list that
    // has the keyboard.
    bool typed = Chance(50);
    if (!typed) {
        SetFocus(nullptr);
        SetFocus(list);
    }
    active_ = pane;
    Note((typed ? "press key " + std::to_string(key) : "key command " + std::to_string(command)) +
         (control ? " with Ctrl" : "") + (pane ? " right" : " left"));
    return Refused([&] {
        if (typed)
            Keystroke(list, key, control);
        else
            SendMessageA(main_->window(), WM_COMMAND, command, 0);
    });
}

// The row the keys act on.
static void FocusRow(HWND list, int item) {
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, item, (LPARAM)&state);
}

// A row that is a link, by the attribute its listing keeps.
static bool IsLinkRow(int pane, int item) {
    return (ItemParam(gCore->panes[pane].list, item) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool Driver::SelectRandom(int pane) {
    HWND list = gCore->panes[pane].list;
    int count = ItemCount(list);
    if (count == 0)
        return false;
    if (Chance(15)) {
        PressKey(pane, 'A', CMD_KEY_SELECT_ALL, true);
        if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) != count)
            Violation("Ctrl+A left rows unselected");
        return true;
    }
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&none);
    int chosen = 1 + (int)Pick(3);
    std::string names;
    for (int k = 0; k < chosen; k++) {
        int item = (int)Pick((unsigned)count);
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, item, (LPARAM)&state);
        names += " " + ItemText(list, item, 0);
    }
    active_ = pane;
    Note("select" + std::string(pane ? " right:" : " left:") + names);
    return true;
}

void Driver::CopyScopes(int from, int to, bool selected, Expectation* expect) {
    std::wstring source, destination;
    PaneRelative(from, &source);
    PaneRelative(to, &destination);
    auto inside = [](const std::wstring& outer, const std::wstring& inner) {
        Scope probe = {outer, false, false, false};
        return Lower(outer) != Lower(inner) && Covers(probe, inner);
    };
    if (!selected) {
        // A destination inside the source is refused before anything is copied.
        if (!inside(source, destination))
            expect->scopes.push_back({destination, true, true, false});
        return;
    }
    for (const std::wstring& name : SelectedNames(from)) {
        // A link is judged by where it leads: "self" copied into its own
        // folder's child is a copy into itself.
        std::wstring item = Join(source, name), real;
        auto copied = disk_.find(item);
        if (RealRelative(WideRoot() + item, &real))
            item = real;
        if (inside(item, destination))
            continue;
        // Owed: what is new there, and a file newer than a different one there.
        const Node* old = nullptr;
        int there = Matches(Join(destination, name), &old);
        bool owed =
            fresh_[from] && copied != disk_.end() && copied->second.kind != KIND_LINK &&
            (there == 0 || (there == 1 && copied->second.kind == KIND_FILE && old->kind == KIND_FILE &&
                            copied->second.hash != old->hash && copied->second.time > old->time));
        expect->scopes.push_back({Join(destination, name), true, true, false, owed});
    }
}

// The scopes from first on are owed their change only if the command was
// carried out.
static void Settle(Expectation* expect, size_t first, bool carriedOut) {
    for (size_t i = first; i < expect->scopes.size(); i++)
        expect->scopes[i].must = expect->scopes[i].must && carriedOut;
}

bool Driver::CommandOfSide(int pane, Expectation* expect) {
    static const WORD kLeft[] = {CMD_LEFT_COPY_SELECTED, CMD_LEFT_COPY_FOLDER, CMD_LEFT_MOVE,
                                 CMD_LEFT_DELETE,        CMD_LEFT_NEW_FOLDER,  CMD_LEFT_PARENT,
                                 CMD_LEFT_MY_COMPUTER};
    static const WORD kRight[] = {CMD_RIGHT_COPY_SELECTED, CMD_RIGHT_COPY_FOLDER, CMD_RIGHT_MOVE,
                                  CMD_RIGHT_DELETE,        CMD_RIGHT_NEW_FOLDER,  CMD_RIGHT_PARENT,
                                  CMD_RIGHT_MY_COMPUTER};
    unsigned which = Pick(7);
    WORD command = pane == PANE_LEFT ? kLeft[which] : kRight[which];
    int other = 1 - pane;
    std::wstring here, there;
    bool inHere = PaneRelative(pane, &here), inThere = PaneRelative(other, &there);
    // Nothing that writes runs where a pane has left the tree.
    if (which <= 4 && (!inHere || (which <= 2 && !inThere)))
        return false;
    if (which == 5 && (!inHere || here.empty()))
        return false;
    if (which <= 1 && disk_.size() > 1500)
        return false; // keep the tree small enough to walk at each step
    bool jobBefore = JobRunning();
    size_t first = expect->scopes.size();
    std::wstring made = Join(here, Widen("新しいフォルダ"));
    switch (which) {
    case 0:
    case 1: CopyScopes(pane, other, which == 0, expect); break;
    case 2:
        // A link is moved as itself or stays: never what it leads to.
        for (const std::wstring& name : SelectedNames(pane)) {
            expect->scopes.push_back({Join(here, name), false, false, true, fresh_[pane] && here != there});
            expect->scopes.push_back({Join(there, name), true, true, false});
        }
        expect->keepsBytes = true;
        break;
    case 3:
        for (const std::wstring& name : SelectedNames(pane))
            expect->scopes.push_back({Join(here, name), false, false, true, fresh_[pane]});
        break;
    case 4: expect->scopes.push_back({made, true, false, false, Matches(made) == 0}); break;
    }
    gDeleteAnswer = -1;
    // Most are also a key in the active pane (F5, F6, F8, F7, Backspace).
    static const WORD kKeys[][2] = {{VK_F5, CMD_KEY_COPY},       {0, 0},
                                    {VK_F6, CMD_KEY_MOVE},       {VK_F8, CMD_KEY_RECYCLE},
                                    {VK_F7, CMD_KEY_NEW_FOLDER}, {VK_BACK, CMD_KEY_PARENT}};
    bool byKey = which < 6 && kKeys[which][0] && Chance(40);
    if (!byKey)
        Note("command " + std::to_string(command) + (jobBefore ? " during the job" : ""));
    bool refused = byKey ? PressKey(pane, kKeys[which][0], kKeys[which][1]) : Send(command);
    Settle(expect, first, !refused && (which != 3 || gDeleteAnswer == 1));
    // The panes a copy, a move or a delete changes are listed when its job
    // ends; the others' at once.
    const int changes[] = {1 << other, 1 << other, 3, 1 << pane};
    if (!jobBefore && JobRunning())
        expect->jobPanes |= changes[which];
    else if (which >= 4 && !refused)
        Relisted(expect, pane);
    return true;
}

// The Tools start fixed programs: a recorder stands in at each tool's place
// in the test prefix, and logs its command line beside itself. Notepad
// (tool 0) is never reached, since each command's first tool is there.
void Driver::InstallTools() {
    for (int tool = 1; tool < 6; tool++) {
        std::string path = BuiltInToolTable[tool];
        path.pop_back();
        for (size_t at = 3; (at = path.find('\\', at)) != std::string::npos; at++)
            if (CreateDirectoryA(path.substr(0, at).c_str(), nullptr))
                toolFolders_.push_back(path.substr(0, at));
        // One left by a run that was stopped is replaced.
        if (CopyFileA(RecorderProgram().c_str(), path.c_str(), FALSE))
            tools_.push_back(path);
        else
            Violation("a recorder could not be put at " + path);
    }
}

void Driver::RemoveTools() {
    for (const std::string& path : tools_) {
        DeleteFileA((path.substr(0, path.rfind('\\') + 1) + "recorded.txt").c_str());
        DeleteFileA(path.c_str());
    }
    for (auto it = toolFolders_.rbegin(); it != toolFolders_.rend(); ++it)
        RemoveDirectoryA(it->c_str());
}

// Every command line the recorders logged since their logs were removed.
std::vector<std::string> Driver::ToolLines() const {
    std::vector<std::string> lines;
    for (const std::string& path : tools_) {
        std::string text = ReadBytes(path.substr(0, path.rfind('\\') + 1) + "recorded.txt");
        for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(text.substr(at, text.find('|', at) < end ? text.find('|', at) - at : end - at));
    }
    return lines;
}

// A tool gets the pane's selected files, each by a name that leads to it, and
// nothing else; nothing on the disk changes but the attributes of a
// read-only file, which the user may clear.
bool Driver::RunTool(int pane, Expectation* expect) {
    static const WORD kTools[] = {CMD_EDIT_WITH_EDITOR, CMD_CONVERT_WITH_COLVANE, CMD_EDIT_WITH_MURREL,
                                  CMD_EDIT_WITH_PHOTOSHOP};
    std::wstring here;
    if (tools_.size() < 5 || !PaneRelative(pane, &here))
        return false;
    HWND list = gCore->panes[pane].list;
    std::set<unsigned long long> files;
    for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)) >= 0;)
        if (!(ItemParam(list, i) & FILE_ATTRIBUTE_DIRECTORY)) {
            files.insert(IdentityOf(Widen(gCore->panes[pane].path) + RowName(list, i)));
            expect->unlockable.insert(Join(here, RowName(list, i)));
        }
    files.erase(0);
    // A recorder still writing holds its log a moment longer.
    for (const std::string& path : tools_) {
        std::string log = path.substr(0, path.rfind('\\') + 1) + "recorded.txt";
        for (int tries = 0; !DeleteFileA(log.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND && tries < 40;
             tries++)
            Sleep(50);
    }
    LONG notices = gNotices;
    WORD command = kTools[Pick(4)];
    Note("command " + std::to_string(command) + " (active " + (pane ? "right)" : "left)"));
    Send(command);
    // The programs start on their own; each logs once it runs.
    DWORD start = GetTickCount();
    std::vector<std::string> lines;
    // A file that can't be handed over (no short name, too long) says so in a box.
    auto due = [&] { return files.size() - std::min(files.size(), (size_t)(gNotices - notices)); };
    while ((lines = ToolLines()).size() < due() && GetTickCount() - start < 15000)
        PumpMessages(50);
    if (lines.size() < due())
        Violation("a tool was started " + std::to_string(lines.size()) + " times for " +
                  std::to_string(due()) + " selected files it could be given");
    if (verbose_)
        printf("    %zu started for %zu selected files\n", lines.size(), files.size());
    if (lines.size() > files.size())
        Violation("a tool was started " + std::to_string(lines.size()) + " times for " +
                  std::to_string(files.size()) + " selected files");
    std::string folder = gCore->panes[pane].path;
    for (const std::string& line : lines) {
        size_t quote = line.find('"');
        std::string named = quote == std::string::npos ? "" : line.substr(quote + 1);
        if (!named.empty() && named.back() == '"')
            named.pop_back();
        if (named.compare(0, folder.size(), folder) != 0 || !files.count(IdentityOf(Widen(named))))
            Violation("a tool was given what the pane did not select: " + line);
    }
    return true;
}

bool Driver::CommandOfTools(Expectation* expect) {
    static const WORD kCommands[] = {CMD_REFRESH, CMD_CLIPBOARD_COPY, CMD_CLIPBOARD_PASTE, CMD_DELETE};
    int pane = active_;
    if (Chance(20))
        return RunTool(pane, expect);
    WORD command = kCommands[Pick(4)];
    std::wstring here;
    bool inside = PaneRelative(pane, &here);
    if ((command == CMD_CLIPBOARD_PASTE || command == CMD_DELETE) && !inside)
        return false;
    if (command == CMD_CLIPBOARD_PASTE && disk_.size() > 1500)
        return false;
    bool jobBefore = JobRunning();
    size_t first = expect->scopes.size();
    if (command == CMD_CLIPBOARD_PASTE)
        expect->scopes.push_back({here, true, true, false});
    if (command == CMD_DELETE)
        for (const std::wstring& name : SelectedNames(pane))
            expect->scopes.push_back({Join(here, name), false, false, true, fresh_[pane]});
    gDeleteAnswer = -1;
    Note("command " + std::to_string(command) + " (active " + (pane ? "right)" : "left)"));
    bool refused = Send(command);
    Settle(expect, first, !refused && gDeleteAnswer == 1);
    if (!jobBefore && JobRunning())
        expect->jobPanes |= 1 << pane;
    else if (command == CMD_REFRESH || (command == CMD_CLIPBOARD_PASTE && !refused))
        Relisted(expect, pane);
    return true;
}

bool Driver::EnterFolder(int pane, Expectation* expect) {
    std::wstring here;
    if (!PaneRelative(pane, &here))
        return false;
    HWND list = gCore->panes[pane].list;
    std::vector<int> folders;
    for (int i = 0; i < ItemCount(list); i++) {
        if (!(ItemParam(list, i) & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        std::wstring target;
        if (RealRelative(Widen(gCore->panes[pane].path) + RowName(list, i), &target))
            folders.push_back(i);
    }
    if (folders.empty())
        return false;
    // Links lead where faults hide (a folder inside the one beside it): they
    // are entered more often than plain folders.
    std::vector<int> links;
    for (int i : folders)
        if (IsLinkRow(pane, i))
            links.push_back(i);
    int item = !links.empty() && Chance(50) ? links[Pick((unsigned)links.size())]
                                            : folders[Pick((unsigned)folders.size())];
    Note("enter" + std::string(pane ? " right " : " left ") + ItemText(list, item, 0));
    if (Chance(40)) {
        FocusRow(list, item);
        PressKey(pane, VK_RETURN, CMD_KEY_OPEN);
    } else {
        OpenListItem(&gCore->panes[pane], item);
    }
    Relisted(expect, pane);
    return true;
}

bool Driver::TypePath(int pane, Expectation* expect) {
    std::vector<std::wstring> folders = {L""}, links;
    for (const auto& entry : disk_) {
        std::wstring inside;
        if (entry.second.kind == KIND_FOLDER)
            folders.push_back(entry.first);
        else if (entry.second.kind == KIND_LINK && RealRelative(WideRoot() + entry.first, &inside))
            links.push_back(entry.first);
    }
    // A path through a link, now and then: the same folder by another name.
    if (!links.empty() && Chance(30))
        folders = links;
    std::wstring folder = folders[Pick((unsigned)folders.size())];
    // A name the code page can't spell can't be typed ("café" is no "cafe").
    char path[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, (WideRoot() + folder).c_str(), -1, path, sizeof path,
                        nullptr, nullptr);
    std::string text = path;
    if (text.find('?') != std::string::npos || text.size() > 250)
        return false;
    Note("type" + std::string(pane ? " right " : " left ") + text);
    CommitPath(pane, text.c_str());
    Relisted(expect, pane);
    return true;
}

void Driver::TypeInto(int pane, const std::wstring& relative) {
    char path[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, (WideRoot() + relative).c_str(), -1, path, sizeof path, nullptr, nullptr);
    CommitPath(pane, path);
}

// Typed into the pane's path box, taken as a click on the list takes it.
void Driver::CommitPath(int pane, const char* text) {
    SetFocus(gCore->panes[pane].pathBox);
    SetWindowTextA(gCore->panes[pane].pathBox, text);
    SetFocus(gCore->panes[pane].list);
}

// Where two features meet: the left pane on a folder, the right one on a
// link that leads inside it, and the whole left folder copied to the right.
bool Driver::CopyIntoLink(Expectation* expect) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (const auto& entry : disk_) {
        std::wstring target;
        if (entry.second.kind != KIND_LINK || !RealRelative(WideRoot() + entry.first, &target))
            continue;
        for (std::wstring above = target; !above.empty();) {
            size_t cut = above.rfind(L'\\');
            above = cut == std::wstring::npos ? L"" : above.substr(0, cut);
            Scope holds = {above, false, false, false};
            if (!above.empty() && !Covers(holds, entry.first))
                pairs.push_back({above, entry.first});
        }
    }
    if (pairs.empty() || JobRunning() || disk_.size() > 1500)
        return false;
    const auto& pair = pairs[Pick((unsigned)pairs.size())];
    Note("copy " + Narrow(pair.first) + " into the link " + Narrow(pair.second));
    TypeInto(PANE_LEFT, pair.first);
    TypeInto(PANE_RIGHT, pair.second);
    Relisted(expect, PANE_LEFT);
    Relisted(expect, PANE_RIGHT);
    CopyScopes(PANE_LEFT, PANE_RIGHT, false, expect);
    Send(CMD_LEFT_COPY_FOLDER);
    if (JobRunning())
        expect->jobPanes |= 1 << PANE_RIGHT;
    return true;
}

bool Driver::Rename(int pane, Expectation* expect) {
    std::wstring here;
    HWND list = gCore->panes[pane].list;
    if (!PaneRelative(pane, &here) || ItemCount(list) == 0)
        return false;
    int item = (int)Pick((unsigned)ItemCount(list));
    std::string old = ItemText(list, item, 0);
    // Wine renames the folder a link leads to, not the link: a platform
    // limit, left out.
    if (IsLinkRow(pane, item))
        return false;
    static const char* const kRefused[] = {"a\\b", "q\"x", "", "sp ", "dot."};
    std::string name = Chance(70) ? "renamed" + std::to_string(++renamed_) + ".txt" : kRefused[Pick(5)];
    SetFocus(list);
    HWND edit = nullptr;
    if (Chance(40)) {
        FocusRow(list, item);
        PressKey(pane, VK_F2, CMD_KEY_RENAME);
        edit = (HWND)SendMessageA(list, LVM_GETEDITCONTROL, 0, 0);
    } else {
        edit = (HWND)SendMessageA(list, LVM_EDITLABELA, item, 0);
    }
    // The list asks before it edits: its pane is active, edited or not.
    active_ = pane;
    if (!edit)
        return false;
    Note("rename" + std::string(pane ? " right " : " left ") + old + " -> '" + name + "'");
    // A name the platform can't take (a separator, a quote, nothing) changes
    // nothing at all.
    size_t first = expect->scopes.size();
    if (name.find_first_of("\\\"") == std::string::npos && !name.empty()) {
        // The platform drops a typed name's final dots and blanks, as
        // Explorer's rename does.
        std::wstring created = Widen(name);
        while (!created.empty() && (created.back() == L'.' || created.back() == L' '))
            created.pop_back();
        // A new name that no entry has takes the old one away, but for the
        // folder the program last listed (its current folder) or one that
        // holds it: the platform keeps that, and a failed rename says nothing.
        WCHAR current[MAX_PATH * 2] = L"";
        std::wstring held;
        GetCurrentDirectoryW(MAX_PATH * 2, current);
        Scope renamed = {Join(here, RowName(list, item)), false, false, true};
        renamed.must = fresh_[pane] && Lower(created) != Lower(RowName(list, item)) &&
                       Matches(Join(here, created)) == 0 &&
                       !(RealRelative(current, &held) && Covers(renamed, held, true));
        expect->scopes.push_back(renamed);
        expect->scopes.push_back({Join(here, created), true, false, false});
        expect->keepsBytes = true;
    }
    // A link beside it may lead into what is renamed (see below).
    std::wstring renamed = Join(here, RowName(list, item));
    bool ledInto = false;
    for (const auto& entry : disk_) {
        std::wstring target;
        Scope below = {renamed, false, false, false};
        ledInto = ledInto || (entry.second.kind == KIND_LINK &&
                              RealRelative(WideRoot() + entry.first, &target) && Covers(below, target));
    }
    SetWindowTextA(edit, name.c_str());
    bool refused = Refused([&] {
        SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        PumpMessages(20);
    });
    Settle(expect, first, !refused);
    // The row is renamed in place, the others stay as they were: rows that
    // were the folder's entries still are, unless a link beside it led into
    // what was renamed (Wine then lists that link no more, while its row
    // stays, as on Windows).
    if (!ledInto && fresh_[pane])
        Relisted(expect, pane);
    return true;
}

// A file list of wide names: the header, each name ended by a zero, and one
// zero more.
static HGLOBAL WideBlockOf(const std::vector<std::wstring>& names) {
    size_t units = 1;
    for (const std::wstring& name : names)
        units += name.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(WCHAR));
    DROPFILES* header = (DROPFILES*)GlobalLock(block);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    WCHAR* at = (WCHAR*)(header + 1);
    for (const std::wstring& name : names) {
        memcpy(at, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
        at += name.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

// A block another program could put on the clipboard or drop: names from the
// tree, missing names, or bytes that are no list at all.
bool Driver::PasteBlock(Expectation* expect, bool drop) {
    int pane = drop ? PANE_RIGHT : active_;
    std::wstring here;
    if (!PaneRelative(pane, &here) || disk_.size() > 1500)
        return false;
    std::vector<std::string> names;
    unsigned kind = Pick(4);
    HGLOBAL block = nullptr;
    bool relative = kind == 3 && Chance(50);
    if (relative) {
        // Names without their folders, which the program stands in (the tree)
        // or beside it: nothing is read by them.
        names = {"A\\a.txt", "..\\sentinel\\one.txt"};
        block = BlockOf(names);
    } else if (kind == 3) {
        // Not a list: a header that points past the block.
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 24);
        DWORD* header = (DWORD*)GlobalLock(block);
        header[0] = 4000;
        GlobalUnlock(block);
    } else {
        std::vector<std::wstring> all, wide;
        for (const auto& entry : disk_)
            all.push_back(entry.first);
        for (unsigned k = 1 + Pick(3); k > 0 && !all.empty(); k--) {
            wide.push_back(WideRoot() + all[Pick((unsigned)all.size())]);
            names.push_back(Narrow(wide.back()));
        }
        if (kind == 2)
            names.push_back(tree_ + "missing\\nothing.txt");
        // Kind 1 is a wide list, as Explorer offers: it names even what the
        // code page can't spell.
        block = kind == 1 ? WideBlockOf(wide) : BlockOf(names);
    }
    if (!relative)
        expect->scopes.push_back({here, true, true, false});
    std::string listed;
    for (const std::string& name : names)
        listed += " " + (name.compare(0, tree_.size(), tree_) == 0 ? name.substr(tree_.size()) : name);
    Note(std::string(drop ? "drop" : "paste") + " of " + std::to_string(names.size()) + " names" +
         (kind == 3 && !relative ? " (no list)"
          : kind == 1            ? " (wide):" + listed
                                 : ":" + listed));
    if (drop) {
        FileDataObject* data = DataWith(block);
        DWORD effect = DROPEFFECT_COPY;
        POINTL at = {10, 10};
        gDropTarget->DragEnter(data, MK_LBUTTON, at, &effect);
        gDropTarget->Drop(data, MK_LBUTTON, at, &effect);
        data->Release();
        // The copy runs when the drop's message comes; refused, it says so
        // and lists nothing.
        bool refused = Refused([] { PumpMessages(30); });
        if (JobRunning())
            expect->jobPanes |= 1 << PANE_RIGHT;
        else if (effect == DROPEFFECT_COPY && !refused)
            Relisted(expect, PANE_RIGHT);
        return true;
    }
    if (!OpenClipboard(main_->window())) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    bool refused = Send(CMD_CLIPBOARD_PASTE);
    if (JobRunning())
        expect->jobPanes |= 1 << pane;
    else if (!refused)
        Relisted(expect, pane);
    return true;
}

// The window closes at once or, during a job, cancels it and closes once it
// has ended; it is then opened again on the folders it wrote down.
void Driver::Reopen(Expectation* expect) {
    HWND window = main_->window();
    bool during = JobRunning(), byMenu = Chance(50);
    Note(std::string(byMenu ? "exit" : "close") + (during ? " during the job" : "") + " and reopen");
    expect->excused = expect->excused || during;
    SendMessageA(window, byMenu ? WM_COMMAND : WM_CLOSE, byMenu ? CMD_EXIT : 0, 0);
    if (!PumpUntil([&] { return !IsWindow(window); }, 120000))
        Violation("the window did not close");
    else if (JobRunning())
        Violation("the window closed before its job had ended");
    PumpUntil([] { return !JobRunning(); }, 120000);
    PumpMessages(50);
    main_.reset(new MainWindowUnderTest);
    expect->jobPanes = 0;
    Relisted(expect, PANE_LEFT);
    Relisted(expect, PANE_RIGHT);
}

// What may happen while a job runs: Esc, another command, closing.
void Driver::DuringJob(Expectation* expect) {
    switch (Pick(4)) {
    case 0:
        Note("Esc");
        InterlockedExchange(&gCore->cancelFlag, 1);
        expect->excused = true;
        return;
    case 1: CommandOfSide((int)Pick(2), expect); return;
    case 2: Reopen(expect); return;
    }
}

bool Driver::Act(Expectation* expect) {
    int pane = (int)Pick(2);
    switch (Pick(12)) {
    case 0:
    case 1: return SelectRandom(pane);
    case 2:
    case 3: return CommandOfSide(pane, expect);
    case 4: return CommandOfTools(expect);
    case 5: return EnterFolder(pane, expect);
    case 6: return TypePath(pane, expect);
    case 7: return Rename(pane, expect);
    case 8: {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = gCore->panes[pane].list;
        click.hdr.idFrom = pane ? IDC_RIGHT_LIST : IDC_LEFT_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iSubItem = (int)Pick(4);
        Note("column " + std::to_string(click.iSubItem) + (pane ? " right" : " left"));
        SendMessageA(main_->window(), WM_NOTIFY, click.hdr.idFrom, (LPARAM)&click);
        active_ = pane;
        return true;
    }
    case 9:
        Note(std::string("repaint ") + (pane ? "right" : "left"));
        InvalidateRect(gCore->panes[pane].list, nullptr, TRUE);
        UpdateWindow(gCore->panes[pane].list);
        return true;
    case 10: return PasteBlock(expect, Chance(50));
    case 11:
        if (Chance(10)) {
            Reopen(expect);
            return true;
        }
        if (Chance(15))
            return CopyIntoLink(expect);
        return SelectRandom(pane);
    }
    return false;
}
