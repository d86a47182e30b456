#include "base/prompts.h"
#include "base/cp932.h"
#include "base/list_view.h"
#include "base/scoped.h"
#include "base/text_buffer.h"
#include "assoc/open_rules.h"
#include "fileops/file_path.h"
#include "panes/entry_cells.h"
#include "panes/shell_answers.h"
#include "panes/sort_compare.h"
#include "panes/my_computer.h"
#include "panes/navigation.h"
#include "core/pane.h"
#include "core/real_names.h"

#include <shellapi.h>

#include <algorithm>
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

void FilerCore::InitPane(HWND list, char* path) {
    SHFILEINFOA info = {};
    systemImageList =
        (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    if (systemImageList)
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)systemImageList);
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
            !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT));
    } else {
        FileExtension(found.cFileName, extension, sizeof extension);
        cacheable = strlen(extension) < EXTENSION_SIZE && !HasOwnIcon(extension);
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
    // A failed answer (a path that reaches nothing) is this item's alone.
    if (!SHGetFileInfoA(fullPath, 0, info, sizeof *info,
                        SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON))
        return;
    if (cacheable && answers->count < (int)(sizeof answers->entries / sizeof answers->entries[0])) {
        ShellAnswers::Entry& entry = answers->entries[answers->count++];
        lstrcpynA(entry.extension, extension, sizeof entry.extension);
        entry.icon = info->iIcon;
        lstrcpynA(entry.type, info->szTypeName, sizeof entry.type);
    }
}

// One found item with the texts its row will show.
struct ListedEntry {
    WIN32_FIND_DATAA found;
    int hasRealName; // its name is not the one the text spells
    int icon;
    char type[80];
    EntryCells cells;
};

// Returns 0 for an item that is not listed: one whose full path does not fit a
// path buffer could be neither queried nor acted on by name.
static int ReadEntry(const char* folder, const WIN32_FIND_DATAA& found, int hasRealName,
                     ShellAnswers* answers, ListedEntry* entry) {
    char fullPath[PATH_SIZE];
    if (!JoinPath(fullPath, sizeof fullPath, folder, found.cFileName))
        return 0;
    // The shell is asked by the short name where the listed one reaches no file.
    if (hasRealName && found.cAlternateFileName[0])
        JoinPath(fullPath, sizeof fullPath, folder, found.cAlternateFileName);
    SHFILEINFOA info = {};
    AskShell(fullPath, found, answers, &info);
    entry->found = found;
    entry->hasRealName = hasRealName;
    entry->icon = info.iIcon;
    lstrcpynA(entry->type, info.szTypeName, sizeof entry->type);
    FormatEntryCells(found, 0, &entry->cells);
    return 1;
}

// The row shows the real name where the list reads it back as the listed
// text, so that whatever reads the rows (the commands, the sort, other
// programs) gets what it got before; elsewhere the listed text stays.
static void ShowRealName(HWND list, int at, const WCHAR* name, const char* text) {
    LVITEMW cell = {};
    cell.iSubItem = 0;
    cell.pszText = (WCHAR*)name;
    SendMessageW(list, LVM_SETITEMTEXTW, at, (LPARAM)&cell);
    char back[MAX_PATH];
    ReadCellText(list, at, 0, back, sizeof back);
    if (strcmp(back, text) != 0)
        SetCellText(list, at, 0, text);
}

static void InsertEntry(HWND list, const ListedEntry& entry, int position, int index) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = position;
    item.pszText = (char*)entry.found.cFileName;
    item.iImage = entry.icon;
    DWORD attributes = entry.found.dwFileAttributes & ~(DWORD)ITEM_HAS_REAL_NAME;
    item.lParam = MakeItemParam(entry.hasRealName ? attributes | ITEM_HAS_REAL_NAME : attributes, index);
    int at = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (at < 0)
        return;
    if (entry.hasRealName)
        if (const RealName* real = FindRealName(list, item.lParam, entry.found.cFileName))
            ShowRealName(list, at, real->name, entry.found.cFileName);
    if (entry.cells.size[0])
        SetCellText(list, at, 1, entry.cells.size);
    SetCellText(list, at, 2, entry.type);
    if (entry.cells.date[0])
        SetCellText(list, at, 3, entry.cells.date);
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

int FilerCore::ListFolder(HWND list, char* path) {
    // Whatever the listing shows, the listed pane is the one commands act on.
    if (const Pane* pane = PaneOfList(list))
        MakePaneActive(pane);
    // An open rename names an item of the old listing: it ends unrenamed.
    CancelRename(list);
    if (path[0] == '\0')
        return ListMyComputer(list);

    int entered = 1;
    if (!NormaliseFolder(path, pathScratch) || !SetCurrentDirectoryA(path)) {
        ShowMessage(nullptr, path, "CurrentDirectry Error", MB_OK);
        CopyText(path, PATH_SIZE, "c:\\");
        entered = SetCurrentDirectoryA(path);
    }

    // One repaint when the listing is complete, not one per item.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    ForgetRealNames(list);
    std::vector<ListedEntry> entries;
    int hidden = 0;
    FoundEntry found;
    static ShellAnswers answers;
    answers.count = 0;
    // Where even "c:\\" can't be entered, the pane stays empty: a search now
    // would show the files of whatever folder is current under that path.
    if (ScopedFind search{entered ? FindFirstEntryOf("*.*", &found) : INVALID_HANDLE_VALUE}; search.Valid()) {
        do {
            if (found.found.cFileName[0] == '.')
                continue;
            ListedEntry entry;
            const WCHAR* realName = RealNameOf(found);
            if (!ReadEntry(path, found.found, realName != nullptr, &answers, &entry)) {
                hidden++;
                continue;
            }
            // Kept by listing index, which the row's parameter carries.
            if (realName)
                KeepRealName(list, (int)entries.size(), found.found.cFileName, realName,
                             found.found.cAlternateFileName);
            entries.push_back(entry);
        } while (FindNextEntry(search.Get(), &found));
    }

    // The rows go in already in the order the column sort would give them:
    // the same keys and comparison, and a stable sort of the found order, as
    // the list view's own sort is. That saves the list view sorting them.
    sortDirection[0] = 1;
    sortList = list;
    int count = (int)entries.size();
    std::vector<int> order((size_t)count);
    for (int i = 0; i < count; i++)
        order[(size_t)i] = i;
    int column = sortColumn;
    if (column >= 0 && column <= 3 && count > 1) {
        std::vector<SortKey> keys((size_t)count);
        for (int i = 0; i < count; i++) {
            const ListedEntry& e = entries[(size_t)i];
            const char* texts[4] = {e.found.cFileName, e.cells.size, e.type, e.cells.date};
            MakeSortKey(texts[column], e.found.dwFileAttributes & 0xFFFF, column, &keys[(size_t)i]);
        }
        int direction = sortDirection[column];
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return CompareSortKeys(keys[(size_t)a], keys[(size_t)b], column, direction) < 0;
        });
    }
    for (int position = 0; position < count; position++)
        InsertEntry(list, entries[(size_t)order[(size_t)position]], position, order[(size_t)position]);
    int index = count;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    TellHiddenEntries(list, path, hidden);
    return index;
}
