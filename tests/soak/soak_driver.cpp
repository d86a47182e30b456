// Random actions on the real main window over a tree the test driver made,
// each checked against what it may do to the disk:
//   soak_driver <actions> <seed>
// The tree ($BRENNIK_SOAK_TREE) holds odd names, links and files of distinct
// contents; the sentinel tree beside it ($BRENNIK_SOAK_SENTINEL) must never
// change. Each violation is printed with the seed, the step and the actions
// that led to it; the last line is "N actions, N checks, N violations".
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/list_events.h"
#include "app/open_with.h"
#include "base/prompts.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "exchange/drop_target.h"
#include "fileops/file_commands.h"
#include "res/resource.h"
#include "tests/win/support/exchange_fixture.h"
#include "tests/win/support/win_test_support.h"

namespace {

// ---- the disk, as the oracle sees it ----

enum Kind { KIND_FILE, KIND_FOLDER, KIND_LINK };

struct Node {
    Kind kind;
    unsigned long long hash;
    unsigned long long size;
    unsigned long long time;
};
typedef std::map<std::wstring, Node> Snapshot;

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

unsigned long long HashFile(const std::wstring& path) {
    HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0; // told apart from any real contents' hash
    unsigned long long hash = 1469598103934665603ULL;
    std::vector<unsigned char> buffer(1 << 16);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), (DWORD)buffer.size(), &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; i++)
            hash = (hash ^ buffer[i]) * 1099511628211ULL;
    CloseHandle(file);
    return hash;
}

// Every entry below folder (which ends in "\"), links not followed. Files
// whose size and time match the previous snapshot keep its hash.
void TakeSnapshot(const std::wstring& folder, const std::wstring& relative, const Snapshot& before,
                  Snapshot* out, const std::wstring& skip = L"") {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || name == skip)
            continue;
        std::wstring rel = relative + name;
        Node node = {};
        node.size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        node.time = ((unsigned long long)found.ftLastWriteTime.dwHighDateTime << 32) |
                    found.ftLastWriteTime.dwLowDateTime;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            node.kind = KIND_LINK;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            node.kind = KIND_FOLDER;
            (*out)[rel] = node;
            TakeSnapshot(folder + name + L"\\", rel + L"\\", before, out);
            continue;
        } else {
            node.kind = KIND_FILE;
            auto old = before.find(rel);
            if (old != before.end() && old->second.kind == KIND_FILE && old->second.size == node.size &&
                old->second.time == node.time && old->second.hash != 0)
                node.hash = old->second.hash;
            else
                node.hash = HashFile(folder + name);
        }
        (*out)[rel] = node;
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string Narrow(const std::wstring& text);

// ---- what an action may do ----

// Below prefix (a relative path; empty for the whole tree) the action may
// create, change or remove entries as these flags say.
struct Scope {
    std::wstring prefix;
    bool create, change, remove;
};

// A pane the program lists again, in order; one listed while a job still
// writes may show a folder the job changes afterwards.
struct Relisting {
    int pane;
    bool fresh;
};

struct Expectation {
    std::vector<Scope> scopes;
    std::vector<Relisting> relisted;
    int jobPane = -1;        // the pane the running job lists when it ends
    bool keepsBytes = false; // a move or rename: what goes away is found again
};

// New names are matched as the platform matches them, without regard to case;
// what goes away must be the very entry named ("Twin.txt", not "twin.txt").
bool Covers(const Scope& scope, const std::wstring& path, bool exact = false) {
    if (scope.prefix.empty())
        return true;
    std::wstring p = exact ? path : Lower(path), s = exact ? scope.prefix : Lower(scope.prefix);
    return p == s || (p.size() > s.size() && p.compare(0, s.size(), s) == 0 && p[s.size()] == L'\\');
}

// ---- the driver ----

class Driver {
  public:
    Driver(unsigned long long seed, const std::string& tree, const std::string& sentinel)
        : seed_(seed), rng_(seed), tree_(tree), sentinel_(sentinel) {}
    int Run(unsigned actions);

  private:
    // The tree and the panes.
    std::wstring WideRoot() const { return Widen(tree_); }
    // The folder that holds the tree and the sentinel beside it ("up" leads
    // there), and the tree's name in it: all of it but the tree must stay.
    std::wstring Beside() const {
        std::wstring root = WideRoot();
        root.pop_back();
        return root.substr(0, root.rfind(L'\\') + 1);
    }
    std::wstring TreeName() const {
        std::wstring root = WideRoot();
        root.pop_back();
        return root.substr(root.rfind(L'\\') + 1);
    }
    // The relative real path of a pane's folder, links resolved; false when
    // the pane is not inside the tree (My Computer, or led out).
    bool PaneRelative(int pane, std::wstring* relative) const;
    // The tree's folder that a path reaches, through any links, as a path
    // relative to the tree; false outside it.
    bool RealRelative(const std::wstring& path, std::wstring* relative) const;
    void LearnFolders();
    std::vector<std::wstring> SelectedNames(int pane) const;
    // Sends a command as the menu does; true when it was refused because a
    // job runs ("処理中です").
    bool Send(WORD command);
    void Relisted(Expectation* expect, int pane) { expect->relisted.push_back({pane, !JobRunning()}); }
    unsigned Pick(unsigned n) { return n ? (unsigned)(rng_() % n) : 0; }
    bool Chance(unsigned percent) { return Pick(100) < percent; }

    // The actions; each says what it may do, or returns false when it does
    // not apply now.
    bool Act(Expectation* expect);
    bool SelectRandom(int pane);
    bool CommandOfSide(int pane, Expectation* expect);
    bool CommandOfTools(Expectation* expect);
    bool RunTool(int pane);
    void InstallTools();
    void RemoveTools();
    std::vector<std::string> ToolLines() const;
    bool EnterFolder(int pane, Expectation* expect);
    bool TypePath(int pane, Expectation* expect);
    bool Rename(int pane, Expectation* expect);
    bool PasteBlock(Expectation* expect, bool drop);
    bool CopyIntoLink(Expectation* expect);
    void TypeInto(int pane, const std::wstring& relative);
    void CommitPath(int pane, const char* text);
    void DuringJob(Expectation* expect);
    void Reopen(Expectation* expect);
    void CopyScopes(int from, int to, bool selected, Expectation* expect);
    void FollowLinks(Expectation* expect) const;

    // The oracle.
    void Check(const Expectation& expect);
    void Violation(const std::string& what);

  public:
    // Ends the run at once with this violation, from any thread.
    void Abort(const std::string& what);

  private:
    void Note(const std::string& action) {
        history_.push_back(action);
        if (verbose_)
            printf("%u: %s\n", step_, action.c_str()), fflush(stdout);
    }

    unsigned long long seed_;
    std::mt19937_64 rng_;
    std::string tree_, sentinel_;
    std::unique_ptr<MainWindowUnderTest> main_;
    Snapshot disk_, sentinelDisk_;
    std::set<unsigned long long> contents_;
    std::map<unsigned long long, std::wstring> folders_; // identity -> relative path
    int active_ = PANE_RIGHT;
    bool fresh_[2] = {true, true};
    unsigned step_ = 0, checks_ = 0, violations_ = 0, renamed_ = 0;
    std::vector<std::string> history_;
    std::vector<std::string> tools_, toolFolders_; // the recorders put in the tools' places
    bool verbose_ = GetEnvironmentVariableA("BRENNIK_SOAK_VERBOSE", nullptr, 0) > 0;
};

int gDeleteAnswer = -1; // the last answer to a delete question
volatile LONG gNotices; // boxes with only OK shown so far

// The answers come from generators of their own, seeded from the run's seed,
// so that a replay answers alike. The worker's boxes are answered on its
// thread while the driver acts: the lock keeps the two apart.
std::mt19937_64 gAnswers, gShellAnswers;
CRITICAL_SECTION gAnswerLock;

unsigned DrawAnswer(std::mt19937_64& generator, unsigned n) {
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
BOOL CALLBACK AnswerShellDialog(HWND window, LPARAM) {
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

// A folder's identity (volume and index), through any link; 0 when it
// can't be read.
unsigned long long IdentityOf(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    HANDLE folder = CreateFileW((L"\\\\?\\" + path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int ok = GetFileInformationByHandle(folder, &info);
    CloseHandle(folder);
    if (!ok)
        return 0;
    return ((unsigned long long)(info.dwVolumeSerialNumber & 0xFFFF) << 48) ^
           ((unsigned long long)info.nFileIndexHigh << 32) ^ info.nFileIndexLow;
}

void Driver::LearnFolders() {
    folders_.clear();
    folders_[IdentityOf(WideRoot())] = L"";
    for (const auto& entry : disk_)
        if (entry.second.kind == KIND_FOLDER)
            folders_[IdentityOf(WideRoot() + entry.first)] = entry.first;
    folders_.erase(0);
}

bool Driver::RealRelative(const std::wstring& path, std::wstring* relative) const {
    auto known = folders_.find(IdentityOf(path));
    if (known == folders_.end())
        return false;
    *relative = known->second;
    return true;
}

bool Driver::PaneRelative(int pane, std::wstring* relative) const {
    std::string path = gCore->panes[pane].path;
    return !path.empty() && RealRelative(Widen(path), relative);
}

std::vector<std::wstring> Driver::SelectedNames(int pane) const {
    std::vector<std::wstring> names;
    HWND list = gCore->panes[pane].list;
    for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)) >= 0;)
        names.push_back(RowName(list, i));
    return names;
}

bool Driver::Send(WORD command) {
    SendMessageA(gCore->statusBar, SB_SETTEXTA, 0, (LPARAM) "");
    SendMessageA(main_->window(), WM_COMMAND, command, 0);
    return StatusText(gCore->statusBar, 0) == "処理中です";
}

// A row that is a link, by the attribute its listing keeps.
bool IsLinkRow(int pane, int item) {
    return (ItemParam(gCore->panes[pane].list, item) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
}

bool Driver::SelectRandom(int pane) {
    HWND list = gCore->panes[pane].list;
    int count = ItemCount(list);
    if (count == 0)
        return false;
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
        if (RealRelative(WideRoot() + item, &real))
            item = real;
        if (!inside(item, destination))
            expect->scopes.push_back({Join(destination, name), true, true, false});
    }
}

// What may be written below a folder may be written through the links in it
// too (a folder "bk" copied onto a link "bk" fills the folder it leads to).
void Driver::FollowLinks(Expectation* expect) const {
    for (size_t i = 0; i < expect->scopes.size() && expect->scopes.size() < 64; i++) {
        Scope scope = expect->scopes[i];
        if (!scope.create && !scope.change)
            continue;
        for (const auto& entry : disk_) {
            std::wstring target;
            if (entry.second.kind != KIND_LINK || !Covers(scope, entry.first) ||
                !RealRelative(WideRoot() + entry.first, &target))
                continue;
            bool known = false;
            for (const Scope& other : expect->scopes)
                known = known || (Lower(other.prefix) == Lower(target) && other.create == scope.create &&
                                  other.change == scope.change && !other.remove);
            if (!known)
                expect->scopes.push_back({target, scope.create, scope.change, false});
        }
    }
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
    switch (which) {
    case 0:
    case 1: CopyScopes(pane, other, which == 0, expect); break;
    case 2:
        // A link is moved as itself or stays: never what it leads to.
        for (const std::wstring& name : SelectedNames(pane)) {
            expect->scopes.push_back({Join(here, name), false, false, true});
            expect->scopes.push_back({Join(there, name), true, true, false});
        }
        expect->keepsBytes = true;
        break;
    case 3:
        for (const std::wstring& name : SelectedNames(pane))
            expect->scopes.push_back({Join(here, name), false, false, true});
        break;
    case 4: expect->scopes.push_back({Join(here, Widen("新しいフォルダ")), true, false, false}); break;
    }
    gDeleteAnswer = -1;
    Note("command " + std::to_string(command) + (jobBefore ? " during the job" : ""));
    bool refused = Send(command);
    if (which <= 1 && !jobBefore && JobRunning())
        expect->jobPane = other;
    if (which == 2 && !refused) {
        Relisted(expect, PANE_LEFT);
        Relisted(expect, PANE_RIGHT);
    }
    if ((which == 3 && gDeleteAnswer == 1) || (which == 4 && !refused) || which == 5 || which == 6)
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
// nothing else; nothing on the disk changes.
bool Driver::RunTool(int pane) {
    static const WORD kTools[] = {CMD_EDIT_WITH_EDITOR, CMD_CONVERT_WITH_COLVANE, CMD_EDIT_WITH_MURREL,
                                  CMD_EDIT_WITH_PHOTOSHOP};
    std::wstring here;
    if (tools_.size() < 5 || !PaneRelative(pane, &here))
        return false;
    HWND list = gCore->panes[pane].list;
    std::set<unsigned long long> files;
    for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)) >= 0;)
        if (!(ItemParam(list, i) & FILE_ATTRIBUTE_DIRECTORY))
            files.insert(IdentityOf(Widen(gCore->panes[pane].path) + RowName(list, i)));
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
        return RunTool(pane);
    WORD command = kCommands[Pick(4)];
    std::wstring here;
    bool inside = PaneRelative(pane, &here);
    if ((command == CMD_CLIPBOARD_PASTE || command == CMD_DELETE) && !inside)
        return false;
    if (command == CMD_CLIPBOARD_PASTE && disk_.size() > 1500)
        return false;
    bool jobBefore = JobRunning();
    if (command == CMD_CLIPBOARD_PASTE)
        expect->scopes.push_back({here, true, true, false});
    if (command == CMD_DELETE)
        for (const std::wstring& name : SelectedNames(pane))
            expect->scopes.push_back({Join(here, name), false, false, true});
    gDeleteAnswer = -1;
    Note("command " + std::to_string(command) + " (active " + (pane ? "right)" : "left)"));
    bool refused = Send(command);
    if (command == CMD_REFRESH || (command == CMD_CLIPBOARD_PASTE && !refused))
        Relisted(expect, pane);
    if (command == CMD_DELETE && !jobBefore && JobRunning())
        expect->jobPane = pane;
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
    OpenListItem(&gCore->panes[pane], item);
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
    char path[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, (WideRoot() + folder).c_str(), -1, path, sizeof path, nullptr, nullptr);
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
        expect->jobPane = PANE_RIGHT;
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
    HWND edit = (HWND)SendMessageA(list, LVM_EDITLABELA, item, 0);
    if (!edit)
        return false;
    Note("rename" + std::string(pane ? " right " : " left ") + old + " -> '" + name + "'");
    active_ = pane;
    // A name the platform can't take (a separator, a quote, nothing) changes
    // nothing at all.
    if (name.find_first_of("\\\"") == std::string::npos && !name.empty()) {
        expect->scopes.push_back({Join(here, RowName(list, item)), false, false, true});
        // The platform drops a typed name's final dots and blanks, as
        // Explorer's rename does.
        std::wstring created = Widen(name);
        while (!created.empty() && (created.back() == L'.' || created.back() == L' '))
            created.pop_back();
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
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
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
HGLOBAL WideBlockOf(const std::vector<std::wstring>& names) {
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
        PumpMessages(30);
        // The copy runs when the drop's message comes; refused, it says so
        // and lists nothing.
        if (effect == DROPEFFECT_COPY && !JobRunning())
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
    if (!Send(CMD_CLIPBOARD_PASTE))
        Relisted(expect, pane);
    return true;
}

void Driver::Reopen(Expectation* expect) {
    Note("close and reopen");
    SendMessageA(main_->window(), WM_CLOSE, 0, 0);
    PumpUntil([] { return !JobRunning(); }, 120000);
    PumpMessages(50);
    main_.reset(new MainWindowUnderTest);
    expect->jobPane = -1;
    Relisted(expect, PANE_LEFT);
    Relisted(expect, PANE_RIGHT);
}

// What may happen while a job runs: Esc, another command, closing.
void Driver::DuringJob(Expectation* expect) {
    switch (Pick(4)) {
    case 0:
        Note("Esc");
        InterlockedExchange(&gCore->cancelFlag, 1);
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

// The window lives on the driver's own thread, where a message to it is a
// plain call: a hang is seen from another thread, as no step ending for
// longer than any job may take, and a crash by the last filter.
Driver* gDriver;
volatile LONG gLastBeat;

DWORD WINAPI WatchSteps(void*) {
    for (;;) {
        Sleep(1000);
        if (GetTickCount() - (DWORD)gLastBeat > 240000)
            gDriver->Abort("the window did not answer for 4 minutes");
    }
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* crash) {
    char what[64];
    snprintf(what, sizeof what, "a crash, exception 0x%08lx",
             (unsigned long)crash->ExceptionRecord->ExceptionCode);
    gDriver->Abort(what);
    return EXCEPTION_EXECUTE_HANDLER;
}

void Driver::Abort(const std::string& what) {
    Violation(what);
    printf("%u actions, %u checks, %u violations\n", step_, checks_, violations_);
    fflush(stdout);
    ExitProcess(1);
}

void Driver::Violation(const std::string& what) {
    violations_++;
    printf("VIOLATION seed %llu step %u: %s\n", seed_, step_, what.c_str());
    size_t from = history_.size() > 8 ? history_.size() - 8 : 0;
    for (size_t i = from; i < history_.size(); i++)
        printf("    %s\n", history_[i].c_str());
    fflush(stdout);
}

std::string Narrow(const std::wstring& text) {
    char out[MAX_PATH * 3];
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

void Driver::Check(const Expectation& expect) {
    checks_++;
    Snapshot after;
    TakeSnapshot(WideRoot(), L"", disk_, &after);
    auto allowed = [&](const std::wstring& path, bool create, bool change, bool remove) {
        for (const Scope& scope : expect.scopes)
            if (Covers(scope, path, !create && !change) &&
                ((create && scope.create) || (change && scope.change) || (remove && scope.remove)))
                return true;
        return false;
    };
    std::set<std::wstring> changedFolders;
    auto folderOf = [](const std::wstring& path) {
        size_t cut = path.rfind(L'\\');
        return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
    };
    // A link holds no bytes, and Wine leaves out a link whose target has gone
    // (a folder renamed): links are not held to the scopes.
    for (const auto& entry : after) {
        if (entry.second.kind == KIND_LINK) {
            if (!disk_.count(entry.first))
                changedFolders.insert(Lower(folderOf(entry.first)));
            continue;
        }
        auto old = disk_.find(entry.first);
        bool created = old == disk_.end();
        bool changed =
            !created && (old->second.kind != entry.second.kind || old->second.hash != entry.second.hash);
        if ((created || changed) && !allowed(entry.first, created, changed, false))
            Violation((created ? "created outside what the action named: "
                               : "changed outside what the action named: ") +
                      Narrow(entry.first));
        if (created || changed)
            changedFolders.insert(Lower(folderOf(entry.first)));
        if (entry.second.kind == KIND_FILE && entry.second.hash == 0)
            Violation("a file that can't be read: " + Narrow(entry.first));
        else if (entry.second.kind == KIND_FILE && !contents_.count(entry.second.hash))
            Violation("a file with bytes no file had: " + Narrow(entry.first) + " (" +
                      std::to_string(entry.second.size) + " bytes)");
        std::wstring name = entry.first.substr(entry.first.rfind(L'\\') + 1);
        if (name.compare(0, 2, L".~") == 0)
            Violation("a temporary file left after the job: " + Narrow(entry.first));
    }
    std::set<unsigned long long> kept;
    if (expect.keepsBytes)
        for (const auto& entry : after)
            kept.insert(entry.second.hash);
    for (const auto& entry : disk_)
        if (!after.count(entry.first)) {
            if (entry.second.kind != KIND_LINK && !allowed(entry.first, false, false, true))
                Violation("removed outside what the action named: " + Narrow(entry.first));
            else if (entry.second.kind == KIND_FILE && expect.keepsBytes && !kept.count(entry.second.hash))
                Violation("moved, and its bytes are nowhere: " + Narrow(entry.first));
            changedFolders.insert(Lower(folderOf(entry.first)));
        }
    disk_.swap(after);
    LearnFolders();

    Snapshot sentinel;
    TakeSnapshot(Beside(), L"", sentinelDisk_, &sentinel, TreeName());
    if (sentinel.size() != sentinelDisk_.size() ||
        !std::equal(sentinel.begin(), sentinel.end(), sentinelDisk_.begin(),
                    [](const auto& a, const auto& b) {
                        return a.first == b.first && a.second.hash == b.second.hash;
                    }))
        Violation("the folder beside the test root changed");

    // Rows: a pane listed again, or whose folder nothing changed, shows its folder.
    std::vector<Relisting> relisted = expect.relisted;
    if (expect.jobPane >= 0)
        relisted.push_back({expect.jobPane, true});
    std::set<int> listedNow;
    for (const Relisting& listing : relisted) {
        fresh_[listing.pane] = listing.fresh;
        active_ = listing.pane;
        listedNow.insert(listing.pane);
    }
    for (int pane = 0; pane < 2; pane++) {
        std::wstring here;
        if (!PaneRelative(pane, &here)) {
            fresh_[pane] = true;
            continue;
        }
        if (!listedNow.count(pane) && changedFolders.count(Lower(here)))
            fresh_[pane] = false;
        if (!fresh_[pane])
            continue;
        std::vector<std::string> rows, entries;
        for (int i = 0; i < ItemCount(gCore->panes[pane].list); i++)
            rows.push_back(ItemText(gCore->panes[pane].list, i, 0));
        std::string folder = gCore->panes[pane].path;
        for (const std::string& entry : FolderEntries(folder))
            if (entry[0] != '.' && folder.size() + entry.size() < MAX_PATH)
                entries.push_back(entry);
        std::sort(rows.begin(), rows.end());
        if (rows != entries)
            Violation(std::string(pane ? "the right" : "the left") +
                      " pane's rows are not its folder's entries: " + std::to_string(rows.size()) +
                      " rows, " + std::to_string(entries.size()) + " entries");
    }
    // A pane led out of the tree is brought back before anything writes.
    for (int pane = 0; pane < 2; pane++) {
        std::wstring here;
        if (!PaneRelative(pane, &here)) {
            CommitPath(pane, tree_.c_str());
            if (!PaneRelative(pane, &here))
                Violation("a pane could not be brought back into the tree");
            Note(std::string("back into the tree ") + (pane ? "right" : "left"));
            fresh_[pane] = true;
            active_ = pane;
        }
    }
}

int Driver::Run(unsigned actions) {
    TakeSnapshot(WideRoot(), L"", Snapshot(), &disk_);
    LearnFolders();
    TakeSnapshot(Beside(), L"", Snapshot(), &sentinelDisk_, TreeName());
    for (const auto& entry : disk_)
        if (entry.second.kind == KIND_FILE)
            contents_.insert(entry.second.hash);
    gDriver = this;
    gLastBeat = (LONG)GetTickCount();
    SetUnhandledExceptionFilter(ReportCrash);
    CloseHandle(CreateThread(nullptr, 0, WatchSteps, nullptr, 0, nullptr));
    InitializeCriticalSection(&gAnswerLock);
    gAnswers.seed(seed_ ^ 0x5A5A5A5AULL);
    gShellAnswers.seed(seed_ + 1);
    CloseHandle(CreateThread(nullptr, 0, WatchShellDialogs, nullptr, 0, nullptr));
    SetPromptResponder(RandomAnswer);
    main_.reset(new MainWindowUnderTest);
    if (!main_->window()) {
        printf("the main window could not be made\n");
        return 2;
    }
    InstallTools();
    for (step_ = 1; step_ <= actions; step_++) {
        InterlockedExchange(&gLastBeat, (LONG)GetTickCount());
        Expectation expect;
        while (!Act(&expect))
            expect = Expectation();
        FollowLinks(&expect);
        if (JobRunning() && Chance(40))
            DuringJob(&expect);
        if (!PumpUntil([] { return !JobRunning(); }, 120000))
            Violation("a job did not end within 2 minutes");
        PumpMessages(20);
        Check(expect);
        // A long run says how far it has come.
        if (step_ % 500 == 0 && step_ < actions) {
            printf("%u actions, %u checks, %u violations so far\n", step_, checks_, violations_);
            fflush(stdout);
        }
    }
    main_.reset();
    RemoveTools();
    SetPromptResponder(nullptr);
    printf("%u actions, %u checks, %u violations\n", actions, checks_, violations_);
    return violations_ ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    unsigned actions = argc > 1 ? (unsigned)strtoul(argv[1], nullptr, 10) : 300;
    unsigned long long seed = argc > 2 ? strtoull(argv[2], nullptr, 10) : GetTickCount64();
    std::string tree = FolderFromEnvironment("BRENNIK_SOAK_TREE");
    std::string sentinel = FolderFromEnvironment("BRENNIK_SOAK_SENTINEL");
    if (tree.empty() || sentinel.empty()) {
        printf("BRENNIK_SOAK_TREE and BRENNIK_SOAK_SENTINEL name the folders the test driver made\n");
        return 2;
    }
    printf("seed %llu, %u actions, tree %s\n", seed, actions, tree.c_str());
    fflush(stdout);
    SettingsFileGuard settings;
    settings.Write("[Filer]\r\nL_dir=" + tree + "\r\nR_dir=" + tree + "\r\n");
    Driver driver(seed, tree, sentinel);
    return driver.Run(actions);
}
