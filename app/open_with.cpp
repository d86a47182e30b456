#include "app/open_with.h"

#include <string.h>

#include <vector>

#include "base/cp932.h"
#include "base/prompts.h"
#include "base/scoped.h"
#include "base/text_buffer.h"
#include "core/filer_core.h"
#include "assoc/open_rules.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "app/window_sink.h"
#include "fileops/walk_paths.h"
#include "panes/navigation.h"
#include "core/pane.h"

const char BuiltInToolTable[6][TOOL_SLOT_SIZE] = {
    "C:\\WINDOWS\\NOTEPAD.EXE ",
    "C:\\Program Files\\WZ EDITOR\\wz_main.exe ",
    "C:\\Bin\\Colvane.exe ",
    "C:\\Bin\\MURREL\\Murrel.exe ",
    "C:\\Program Files\\Adobe\\Photoshop Elements\\PhotoshopElements.exe ",
    "C:\\Program Files\\Adobe\\Photoshop 6.0\\Photoshop.exe ",
};

static int IsFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A bare program name is looked for where the system looks for one, except
// in the current folder: that is the pane's folder, and a file there must
// never be started in place of the program a rule names.
static int SearchProgram(const char* word, char* program, DWORD cap) {
    char folders[3][MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, folders[0], MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        folders[0][0] = '\0';
    else
        folders[0][FindLastSeparator(folders[0]) + 1] = '\0';
    n = GetSystemDirectoryA(folders[1], MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        folders[1][0] = '\0';
    n = GetWindowsDirectoryA(folders[2], MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        folders[2][0] = '\0';
    for (const char* folder : folders) {
        n = folder[0] ? SearchPathA(folder, word, ".exe", cap, program, nullptr) : 0;
        if (n > 0 && n < cap && IsFile(program))
            return 1;
    }
    DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size == 0)
        return 0;
    std::vector<char> path(size);
    if (GetEnvironmentVariableA("PATH", path.data(), size) >= size)
        return 0;
    for (char* entry = path.data(); *entry;) {
        char* end = strchr(entry, ';');
        if (end)
            *end = '\0';
        // An empty or relative entry would be read from the current folder.
        n = IsAbsolutePath(entry) ? SearchPathA(entry, word, ".exe", cap, program, nullptr) : 0;
        if (n > 0 && n < cap && IsFile(program))
            return 1;
        if (!end)
            break;
        entry = end + 1;
    }
    return 0;
}

// The program a tool text names, found as the system finds it: the whole
// text where it is a file (a path with blanks needs no quotes), else its
// first word, and a bare name on the search path. A missing path starts
// nothing, never the part before a blank ("C:\Program.exe" for a missing
// "C:\Program Files\...").
static int FindToolProgram(const char* tool, char* program, DWORD cap) {
    char whole[TOOL_SLOT_SIZE], word[TOOL_SLOT_SIZE];
    if (ToolProgramPath(tool, whole, sizeof whole) && IsAbsolutePath(whole) && IsFile(whole))
        return CopyText(program, cap, whole);
    if (!ToolProgramWord(tool, word, sizeof word))
        return 0;
    // A relative path would be read from the current folder, the pane's.
    if (HasPathPart(word))
        return IsAbsolutePath(word) && IsFile(word) && CopyText(program, cap, word);
    return SearchProgram(word, program, cap);
}

int StartTool(const char* tool, const char* folder, const char* name) {
    if (!tool)
        return 0;
    char commandLine[COMMAND_LINE_SIZE];
    if (!BuildCommandLine(commandLine, sizeof commandLine, tool, folder, name))
        return 0;
    // The program is named to the system itself: a missing one starts
    // nothing, as a failed start does.
    char program[MAX_PATH];
    if (!FindToolProgram(tool, program, sizeof program))
        return 0;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE,
                        CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &started))
        return 0;
    // Nothing waits for the program or looks at it again.
    ScopedHandle thread(started.hThread), process(started.hProcess);
    return 1;
}

void OpenWithAssociation(const char* folder, const char* listedName, const char* passedName) {
    const char* name = passedName ? passedName : listedName;
    char extension[PATH_SIZE];
    FileExtension(listedName, extension, sizeof extension);
    FilerCore& core = *gCore;
    int rule = FindRule(core.extensionRules, core.ruleCount, extension);
    if (rule < 0)
        return;
    const ExtensionRule& r = core.extensionRules[rule];
    if (StartTool(ToolText(core.toolTable, core.toolCount, r.tool), folder, name))
        return;
    StartTool(ToolText(core.toolTable, core.toolCount, r.alternateTool), folder, name);
}

// Opens the item with the tool the selector names first, or else with the
// next one.
static void OpenWithTool(const char* firstFolder, const SelectedItem& item, int selector) {
    if (ItemAttributes(item.param) & FILE_ATTRIBUTE_DIRECTORY)
        return;
    FilePath path;
    if (!ItemFilePath(&path, firstFolder, item.name, RealNameOf(item), WALK_PATH_MAX)) {
        WindowWalkSink().PathTooLong(firstFolder, item.name);
        return;
    }
    const char* name = NameForOthers(item, WindowWalkSink());
    if (!name)
        return;
    DWORD attributes = AttributesOfPath(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        ShowMessage(nullptr, "Read Only を解除しますか", "解除確認", MB_YESNO | MB_ICONQUESTION) == IDYES)
        SetAttributesOfPath(path, FILE_ATTRIBUTE_NORMAL);
    int first = selector & 0xFF, second = (selector >> 8) & 0xFF;
    const int count = sizeof BuiltInToolTable / sizeof BuiltInToolTable[0];
    if (!StartTool(ToolText(BuiltInToolTable, count, first), firstFolder, name))
        StartTool(ToolText(BuiltInToolTable, count, second), firstFolder, name);
}

void RunToolOnSelection(const Pane* pane, int selector) {
    char folder[PATH_SIZE];
    CopyFolderPath(folder, pane->path);
    ScopedSelection items(pane->list, WindowWalkSink());
    for (int i = 0; i < items.taken.count; i++)
        OpenWithTool(folder, items.taken.items[i], selector);
}
