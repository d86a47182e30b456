// Shared helpers of the Wine tests: temporary folders, files, the prompt
// recorder, message pumping and reading the real list views back.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "fileops/tree_copy.h"
#include "fileops/tree_delete.h"
#include "panes/folder_listing.h"

// A fresh folder under the prefix's temporary folder, removed with everything
// in it at the end. Its removal never descends into a link.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    // The folder with its final "\".
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

void RemoveTree(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
void MakeFileOfSize(const std::string& path, unsigned long long size);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// Every entry of a folder (with its final "\"), dot names included, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
// The same through the wide calls, for names the code page can't spell.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text); // as the ANSI calls spell it
void WriteBytesW(const std::wstring& path, const std::string& bytes);
std::string ReadBytesW(const std::wstring& path); // "(missing)" when it can't be opened
std::vector<std::wstring> FolderEntriesW(const std::string& folder);
// The Windows path (through Z:, with a final "\") of a Linux folder that the
// test driver names in an environment variable; empty when it is not set.
std::string FolderFromEnvironment(const char* variable);

// The folder of the running test program, with its final "\".
std::string ModuleFolder();
// The recorder program built beside the tests; copies of it stand in for
// the external programs and log how they were started ("recorded.txt").
std::string RecorderProgram();
// The lines the recorder in this folder logged, waiting a while for them to come.
std::vector<std::string> Logged(const std::string& folder, size_t expected, DWORD wait = 8000);
// The quoted path of a logged command line that starts with this program
// text; empty when the line starts otherwise.
std::string QuotedPathAfter(const std::string& line, const std::string& program);
// A "Brenn.dat" of the given tools and rules (RuleLine), 80-byte records.
std::string DataFile(const std::vector<std::string>& tools, const std::vector<std::string>& rules);
std::string RuleLine(const char* extension, int tool, int alternate);

struct PromptCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type; // buttons and icon of a box, or the dialog id
    bool dialog;
    // What the delete question showed, and the name the overwrite question asked about.
    std::string question, names, conflictName;
    std::wstring conflictNameW;
};

// Records every message box and dialog and answers it: with the queued answers
// first, then with the default answer.
class PromptRecorder {
  public:
    explicit PromptRecorder(INT_PTR defaultAnswer = IDOK);
    ~PromptRecorder();
    void Queue(INT_PTR answer) { answers_.push_back(answer); }
    // Runs while the box is "open", on the thread that raised it, before the answer.
    void OnCall(std::function<void(const PromptCall&)> hook) { hook_ = hook; }
    // Read these only when no other thread can raise a box.
    const std::vector<PromptCall>& calls() const { return calls_; }
    std::vector<std::string> captions() const;

  private:
    static INT_PTR Respond(HWND owner, const char* text, const char* caption, UINT type, LPARAM param);
    CRITICAL_SECTION lock_;
    std::function<void(const PromptCall&)> hook_;
    std::vector<PromptCall> calls_;
    std::vector<INT_PTR> answers_;
    INT_PTR defaultAnswer_;
};

// Last-write time of a file, and setting it to a fixed base plus some minutes.
ULONGLONG WriteTimeOf(const std::string& path);
void SetWriteTime(const std::string& path, int minutes);
// Selects exactly the named items of a list; returns how many were found.
int SelectOnly(HWND list, const std::vector<std::string>& names);

// Quit messages taken off the queue by PumpMessages so far.
int QuitMessagesSeen();
// Dispatches messages for about the given time, or until done() says so.
void PumpMessages(DWORD milliseconds);
template <typename Done> bool PumpUntil(Done done, DWORD timeout = 10000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout)
            return false;
        PumpMessages(10);
    }
    return true;
}

std::string ItemText(HWND list, int item, int column);
// The row's attributes and marks, and its entry, as a command's item carries them.
LPARAM ItemParam(HWND list, int item);
// The row's name as the disk has it: the real one where the code page can't spell it.
std::wstring RowName(HWND list, int item);
int ItemCount(HWND list);
// The names of the list's rows, in byte order (a folder's entries as compared).
std::vector<std::string> SortedItemNames(HWND list);
int FindItem(HWND list, const std::string& name);
// A double-click as a pane's list reports it, with the pointer over the item.
void DoubleClickItem(HWND list, int item);
// The row that stands for this real file, its name the code page may not spell.
int FindItemW(HWND list, const std::wstring& name);
std::string WindowText(HWND window);
std::string StatusText(HWND status, int part);

// Keeps the prefix's "Ostrand.ini" as it was before the test.
class SettingsFileGuard {
  public:
    SettingsFileGuard();
    ~SettingsFileGuard();
    static std::string Path();
    void Remove();
    void Write(const std::string& text);
    std::string Read() const;

  private:
    bool existed_;
    std::string saved_;
};

// The program's main window made inside the test process.
class MainWindowUnderTest {
  public:
    MainWindowUnderTest();
    ~MainWindowUnderTest();
    HWND window() const { return window_; }
    void Destroy();

  private:
    HWND window_;
};

class WalkSink;
// A paste of the clipboard's list into folder, its questions asked and its
// copy made here, on this thread: what the paste job does, without the job.
int PasteFromClipboard(HWND owner, const char* folder, WalkSink& sink);
