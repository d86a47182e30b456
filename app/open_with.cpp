#include "app/open_with.h"

#include "base/prompts.h"
#include "base/scoped.h"
#include "core/filer_core.h"
#include "assoc/open_rules.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/progress.h"
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

int StartTool(const char* tool, const char* folder, const char* name) {
    if (!tool)
        return 0;
    char commandLine[COMMAND_LINE_SIZE];
    if (!BuildCommandLine(commandLine, sizeof commandLine, tool, folder, name))
        return 0;
    // The program is named to the system itself, and must be a file: a
    // command line parsed at its first blank would start "C:\Program.exe"
    // for a missing "C:\Program Files\...". A missing one starts nothing,
    // as a failed start does.
    char program[TOOL_SLOT_SIZE];
    if (!ToolProgramPath(tool, program, sizeof program))
        return 0;
    DWORD attributes = GetFileAttributesA(program);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
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
        ReportPathTooLong(firstFolder, item.name);
        return;
    }
    const char* name = NameForOthers(item);
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

void RunToolOnSelection(int selector) {
    Pane* pane = ActivePane();
    if (!pane || RefuseMyComputer(pane, pane))
        return;
    char folder[PATH_SIZE];
    CopyFolderPath(folder, pane->path);
    ScopedSelection items(pane->list);
    for (int i = 0; i < items.taken.count; i++)
        OpenWithTool(folder, items.taken.items[i], selector);
}
