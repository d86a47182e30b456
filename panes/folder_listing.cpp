#include "panes/folder_listing.h"

#include "base/prompts.h"
#include "base/cp932.h"
#include "base/scoped.h"
#include "base/text_buffer.h"
#include "assoc/open_rules.h"
#include "fileops/file_path.h"
#include "panes/entry_cells.h"
#include "panes/folder_follow.h"
#include "panes/shell_answers.h"
#include "panes/my_computer.h"
#include "panes/rename.h"
#include "core/pane.h"
#include "panes/pane_view.h"

#include <shellapi.h>

#include <vector>
#include <string.h>

struct ColumnSpec {
    const char* title;
    int width;
};

static const ColumnSpec kColumns[4] = {
    {"名前", 160},
    {"サイズ", 60},
    {"ファイルの種類", 120},
    {"更新日付", 110},
};

void InitPane(HWND list, char* path) {
    SHFILEINFOA info = {};
    gCore->systemImageList =
        (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    if (gCore->systemImageList)
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)gCore->systemImageList);
    for (int i = 0; i < 4; i++) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = (char*)kColumns[i].title;
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
    ListFolder(list, path);
}

// Makes path absolute and ending in "\" in place; 0 when that can't be done
// within the buffer.
static int NormaliseFolder(char* path, char* scratch) {
    DWORD n = GetFullPathNameA(path, PATH_SIZE, scratch, nullptr);
    if (n == 0 || n >= PATH_SIZE)
        return 0;
    if (!EnsureTrailingSeparator(scratch, PATH_SIZE))
        return 0;
    return CopyText(path, PATH_SIZE, scratch);
}

static int HasOwnIcon(const char* extension) {
    static const char* const kOwn[] = {"exe", "ico", "lnk", "cur", "ani", "dll", "scr", "cpl", "url", "pif"};
    for (const char* own : kOwn)
        if (CompareFolded932(extension, own) == 0)
            return 1;
    return 0;
}

// A folder looks like its own only through a "desktop.ini", which the shell
// reads where the folder is marked read-only or system (or is a link); every
// other folder gets one answer, kept under a key that no extension can be.
static const char kPlainFolder[] = "\\";

void AskShell(const char* fullPath, const WIN32_FIND_DATAA& found, ShellAnswers* answers, SHFILEINFOA* info) {
    char extension[PATH_SIZE];
    DWORD attributes = found.dwFileAttributes;
    int cacheable;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        CopyText(extension, sizeof extension, kPlainFolder);
        cacheable =
            answers->byExtensionOnly ||
            !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT));
    } else {
        FileExtension(found.cFileName, extension, sizeof extension);
        cacheable =
            strlen(extension) < EXTENSION_SIZE && (answers->byExtensionOnly || !HasOwnIcon(extension));
    }
    if (cacheable) {
        for (int i = 0; i < answers->count; i++) {
            if (CompareFolded932(answers->entries[i].extension, extension) == 0) {
                info->iIcon = answers->entries[i].icon;
                lstrcpynA(info->szTypeName, answers->entries[i].type, sizeof info->szTypeName);
                return;
            }
        }
    }
    // A failed answer (a path that reaches nothing) is this item's alone. By
    // the extension alone, the shell opens no file.
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON;
    if (answers->byExtensionOnly)
        flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoA(fullPath, attributes, info, sizeof *info, flags))
        return;
    if (cacheable && answers->count < (int)(sizeof answers->entries / sizeof answers->entries[0])) {
        ShellAnswers::Entry& entry = answers->entries[answers->count++];
        lstrcpynA(entry.extension, extension, sizeof entry.extension);
        entry.icon = info->iIcon;
        lstrcpynA(entry.type, info->szTypeName, sizeof entry.type);
    }
}

// Asks the shell about one found item and adds its entry. 0 for an item that
// is not listed: one whose full path does not fit a path buffer could be
// neither queried nor acted on by name.
static int ListEntry(PaneModel& model, const char* folder, const FoundEntry& found, ShellAnswers* answers) {
    const WCHAR* realName = RealNameOf(found);
    char fullPath[PATH_SIZE];
    if (!JoinPath(fullPath, sizeof fullPath, folder, found.found.cFileName))
        return 0;
    // The shell is asked by the short name where the listed one reaches no file.
    if (realName && found.found.cAlternateFileName[0])
        JoinPath(fullPath, sizeof fullPath, folder, found.found.cAlternateFileName);
    SHFILEINFOA info = {};
    AskShell(fullPath, found.found, answers, &info);
    AddListedEntry(model, found.found, 1, realName, 0, info.iIcon, info.szTypeName);
    return 1;
}

// An entry whose path would pass 259 bytes can't be acted on and isn't
// listed; the user is told how many once for each folder a list comes to,
// not again on each refresh of it.
static void TellHiddenEntries(HWND list, const char* folder, int hidden) {
    struct Told {
        HWND list;
        char folder[PATH_SIZE];
    };
    static std::vector<Told> told;
    Told* mine = nullptr;
    for (Told& t : told)
        if (t.list == list)
            mine = &t;
    if (!mine) {
        told.push_back(Told{list, ""});
        mine = &told.back();
    }
    if (strcmp(mine->folder, folder) == 0)
        return;
    CopyText(mine->folder, sizeof mine->folder, folder);
    if (hidden == 0)
        return;
    char text[PATH_SIZE + 96];
    FormatText(text, sizeof text, "%s\r\nパスが 259 バイトを超えるため %d 個の項目を表示していません", folder,
               hidden);
    ShowMessage(nullptr, text, "Path Length Error", MB_OK);
}

int ReadFolderInto(PaneModel& model, const char* folder, ShellAnswers* answers, int* hidden,
                   const volatile LONG* stop) {
    FilePath path;
    FoundEntry found;
    if (!SetFilePath(&path, folder))
        return 0;
    // By the whole path, not "*.*" of the current folder: panes are read off
    // the window's thread too, and the walks change the current folder.
    ScopedFind search{FindFirstEntry(path, &found)};
    if (!search.Valid())
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (stop && *stop)
            break;
        if (found.found.cFileName[0] != '.' && !ListEntry(model, folder, found, answers))
            (*hidden)++;
    } while (FindNextEntry(search.Get(), &found));
    return 1;
}

// Makes the folder the current one; while a job removes entries, only
// looks that it is one, as the current folder would hold it.
static int EnterFolder(const char* path) {
    return HoldingNoFolder() ? FolderExists(path) : SetCurrentDirectoryA(path);
}

int ListFolder(HWND list, char* path) {
    // Whatever the listing shows, the listed pane is the one commands act on.
    const Pane* pane = PaneOfList(list);
    if (pane)
        MakePaneActive(pane);
    int side = pane ? (int)(pane - gCore->panes) : -1;
    // An open rename names an item of the old listing: it ends unrenamed.
    CancelRename(list);
    if (path[0] == '\0') {
        FollowListing(side, "", -1, 1);
        return ListMyComputer(list);
    }

    int entered = 1;
    if (!NormaliseFolder(path, gCore->pathScratch) || !EnterFolder(path)) {
        ShowMessage(nullptr, path, "CurrentDirectry Error", MB_OK);
        CopyText(path, PATH_SIZE, "c:\\");
        entered = EnterFolder(path);
    }

    // The rows come in the order the column sort gives: a stable sort of the
    // found order. A new listing starts with names ascending.
    gCore->sortDirection[0] = 1;
    gCore->sortList = list;
    int column = gCore->sortColumn;
    int direction = gCore->sortDirection[column >= 0 && column <= 3 ? column : 0];
    // Told before the search, so that a change made while it runs is read again.
    FollowListing(side, path, column, direction);
    PaneChoice choice;
    PaneModel& model = BeginListing(list, path, &choice);
    int hidden = 0;
    static ShellAnswers answers;
    answers.count = 0;
    // Where even "c:\\" can't be entered, the pane stays empty: a search now
    // would show the files of whatever folder is current under that path.
    if (entered)
        ReadFolderInto(model, path, &answers, &hidden, nullptr);
    model.EndListing();
    SortNewListing(model, column, direction);
    ShowRows(list, model, choice);
    TellHiddenEntries(list, path, hidden);
    return model.Rows();
}
