#include "tests/win/support/win_test_support.h"

#include <stdio.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/main_window.h"
#include "base/prompts.h"
#include "app/delete_confirm.h"
#include "app/list_events.h"
#include "panes/navigation.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "core/pane_model.h"
#include "exchange/exchange_commands.h"
#include "fileops/worker_job.h"
#include "res/resource.h"

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static unsigned counter;
    for (;;) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%sbrennik-test-%lu-%u\\", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            break;
        }
    }
}

TempFolder::~TempFolder() {
    SetCurrentDirectoryA("c:\\");
    RemoveTree(path_);
}

// Wide calls throughout, so names the code page can't spell go too.
// Tests without a main window use the program-wide object too; it reads
// "Brenn.dat" from the test's working folder before any test runs.
static FilerCore& gTestCore = MakeFilerCore();

static void RemoveTreeW(const std::wstring& path) {
    // The "\\?\" form, so names ending in "." or " " go too, not their twins.
    std::wstring folder = path;
    if (folder.size() > 2 && folder[1] == L':' && folder[2] == L'\\')
        folder = L"\\\\?\\" + folder;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring child = folder + name;
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    RemoveTreeW(child);
                else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryW(child.c_str());
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring Widen(const std::string& text) {
    wchar_t wide[4 * MAX_PATH];
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 4 * MAX_PATH);
    return n > 0 ? std::wstring(wide) : std::wstring();
}

std::string Narrow(const std::wstring& text) {
    char bytes[4 * MAX_PATH];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return n > 0 ? std::string(bytes) : std::string();
}

void RemoveTree(const std::string& path) {
    RemoveTreeW(Widen(path));
}

void WriteBytesW(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
    }
}

std::string ReadBytesW(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes;
    char buffer[4096];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

std::vector<std::wstring> FolderEntriesW(const std::string& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((Widen(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
    }
}

void MakeFileOfSize(const std::string& path, unsigned long long size) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER end;
    end.QuadPart = (LONGLONG)size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string FolderFromEnvironment(const char* variable) {
    char unix[MAX_PATH] = "";
    if (!GetEnvironmentVariableA(variable, unix, sizeof unix))
        return "";
    std::string path = std::string("Z:") + unix + "/";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

static PromptRecorder* gRecorder;

PromptRecorder::PromptRecorder(INT_PTR defaultAnswer) : defaultAnswer_(defaultAnswer) {
    InitializeCriticalSection(&lock_);
    gRecorder = this;
    SetPromptResponder(&PromptRecorder::Respond);
}

PromptRecorder::~PromptRecorder() {
    SetPromptResponder(nullptr);
    gRecorder = nullptr;
    DeleteCriticalSection(&lock_);
}

std::vector<std::string> PromptRecorder::captions() const {
    std::vector<std::string> all;
    for (const PromptCall& call : calls_)
        all.push_back(call.caption);
    return all;
}

INT_PTR PromptRecorder::Respond(HWND owner, const char* text, const char* caption, UINT type, LPARAM param) {
    PromptRecorder* self = gRecorder;
    bool dialog = text == nullptr && caption == nullptr;
    PromptCall call{owner, text ? text : "", caption ? caption : "", type, dialog, "", "", "", L""};
    if (dialog && param && type == IDD_DELETE_CONFIRM) {
        call.question = ((const DeleteQuestion*)param)->question;
        call.names = ((const DeleteQuestion*)param)->names;
    } else if (dialog && param && type == IDD_OVERWRITE) {
        call.conflictNameW = (const WCHAR*)param;
        call.conflictName = Narrow(call.conflictNameW);
    }
    EnterCriticalSection(&self->lock_);
    self->calls_.push_back(call);
    auto hook = self->hook_;
    INT_PTR answer = self->defaultAnswer_;
    if (!self->answers_.empty()) {
        answer = self->answers_.front();
        self->answers_.erase(self->answers_.begin());
    }
    LeaveCriticalSection(&self->lock_);
    if (hook)
        hook(call);
    return answer;
}

static const ULONGLONG kBaseTime = 132000000000000000ULL; // a day in 2019

ULONGLONG WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTime(const std::string& path, int minutes) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    // Backup semantics open folders too.
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ULONGLONG t = kBaseTime + (ULONGLONG)(LONGLONG)minutes * 600000000ULL;
        FILETIME time = {(DWORD)t, (DWORD)(t >> 32)};
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), attributes);
}

int SelectOnly(HWND list, const std::vector<std::string>& names) {
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&none);
    int found = 0;
    for (const std::string& name : names) {
        int item = FindItem(list, name);
        if (item < 0)
            continue;
        LVITEMA lv = {};
        lv.stateMask = LVIS_SELECTED;
        lv.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, item, (LPARAM)&lv);
        found++;
    }
    return found;
}

static int gQuitMessages;
int QuitMessagesSeen() {
    return gQuitMessages;
}

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                gQuitMessages++;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

std::string ItemText(HWND list, int item, int column) {
    char text[512] = "";
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, item, (LPARAM)&lv);
    return text;
}

LPARAM ItemParam(HWND list, int item) {
    const PaneModel* model = ModelOfList(list);
    int entry = model ? model->EntryOfRow(item) : -1;
    if (entry < 0)
        return 0;
    const PaneEntry& e = model->Entry(entry);
    DWORD marks = (e.flags & ENTRY_HAS_REAL_NAME) ? ITEM_HAS_REAL_NAME : 0;
    return MakeItemParam(e.attributes | marks, entry);
}

int ItemCount(HWND list) {
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

std::vector<std::string> SortedItemNames(HWND list) {
    std::vector<std::string> names;
    for (int i = 0; i < ItemCount(list); i++)
        names.push_back(ItemText(list, i, 0));
    std::sort(names.begin(), names.end());
    return names;
}

int FindItem(HWND list, const std::string& name) {
    for (int i = 0; i < ItemCount(list); i++)
        if (ItemText(list, i, 0) == name)
            return i;
    return -1;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string StatusText(HWND status, int part) {
    char text[512] = "";
    SendMessageA(status, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

std::string SettingsFileGuard::Path() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\Ostrand.ini";
}

SettingsFileGuard::SettingsFileGuard() : existed_(Exists(Path())), saved_(ReadBytes(Path())) {}

SettingsFileGuard::~SettingsFileGuard() {
    // The profile service may cache the file; flush before putting it back.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Ostrand.ini");
    if (existed_)
        WriteBytes(Path(), saved_);
    else
        DeleteFileA(Path().c_str());
}

void SettingsFileGuard::Remove() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Ostrand.ini");
    DeleteFileA(Path().c_str());
}

void SettingsFileGuard::Write(const std::string& text) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Ostrand.ini");
    WriteBytes(Path(), text);
}

std::string SettingsFileGuard::Read() const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Ostrand.ini");
    return ReadBytes(Path());
}

MainWindowUnderTest::MainWindowUnderTest() {
    gInstance = GetModuleHandleA(nullptr);
    static bool registered = RegisterMainWindowClass(gInstance) != 0;
    (void)registered;
    window_ = CreateMainWindow();
    if (window_) {
        ShowMainWindow(window_, SW_SHOWNORMAL);
        PumpMessages(50);
    }
}

MainWindowUnderTest::~MainWindowUnderTest() {
    Destroy();
}

void MainWindowUnderTest::Destroy() {
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
    PumpMessages(20);
}

std::wstring RowName(HWND list, int item) {
    // Read from the model: a pane of 66,000 rows is searched in a moment.
    const PaneModel* model = ModelOfList(list);
    int entry = model ? model->EntryOfRow(item) : -1;
    if (entry < 0)
        return L"";
    const WCHAR* real = model->RealNameOf(model->Entry(entry));
    return real ? std::wstring(real) : Widen(model->Name(model->Entry(entry)));
}

int FindItemW(HWND list, const std::wstring& name) {
    for (int i = 0, count = ItemCount(list); i < count; i++)
        if (RowName(list, i) == name)
            return i;
    return -1;
}

void DoubleClickItem(HWND list, int item) {
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, item, (LPARAM)&rect);
    POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &at);
    SetCursorPos(at.x, at.y);
    NMHDR header = {list, (UINT_PTR)GetDlgCtrlID(list), (UINT)NM_DBLCLK};
    OnListNotify(PaneOfList(list), &header);
}

std::string ModuleFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string RecorderProgram() {
    return ModuleFolder() + "recorder.exe";
}

std::vector<std::string> Logged(const std::string& folder, size_t expected, DWORD wait) {
    std::vector<std::string> lines;
    DWORD start = GetTickCount();
    do {
        lines.clear();
        std::string text = ReadBytes(folder + "recorded.txt");
        for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(text.substr(at, end - at));
        if (lines.size() >= expected)
            break;
        Sleep(50);
    } while (GetTickCount() - start < wait);
    return lines;
}

static std::string Record(const std::string& text) {
    std::string record = text;
    record.resize(78, ' ');
    return record + "\r\n";
}

std::string DataFile(const std::vector<std::string>& tools, const std::vector<std::string>& rules) {
    char header[16];
    snprintf(header, sizeof header, "%-4d%d", (int)tools.size(), (int)rules.size());
    std::string data = Record("/ test data") + Record(header);
    for (const std::string& tool : tools)
        data += Record(tool);
    for (const std::string& rule : rules)
        data += Record(rule);
    return data;
}

std::string RuleLine(const char* extension, int tool, int alternate) {
    char line[40];
    snprintf(line, sizeof line, "%-16s%-4d%d", extension, tool, alternate);
    return line;
}

std::string QuotedPathAfter(const std::string& line, const std::string& program) {
    std::string start = program + "\"";
    if (line.compare(0, start.size(), start) != 0)
        return "";
    size_t end = line.find('"', start.size());
    return end == std::string::npos ? "" : line.substr(start.size(), end - start.size());
}

int PasteFromClipboard(HWND owner, const char* folder, WalkSink& sink) {
    std::vector<CopyPair> pairs;
    int count = PlanPaste(owner, folder, &pairs, sink);
    CopyPairs(pairs, WalkRun{nullptr, sink});
    return count;
}
