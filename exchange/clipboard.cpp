#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>
#include <string.h>

#include "base/prompts.h"
#include "core/filer_core.h"
#include "base/scoped.h"
#include "base/text_buffer.h"
#include "exchange/exchange_commands.h"
#include "exchange/file_list.h"
#include "base/spellable.h"
#include "fileops/file_path.h"
#include "fileops/link_rule.h"
#include "fileops/tree_copy.h"
#include "fileops/walk_paths.h"
#include "fileops/walk_sink.h"
#include "fileops/worker_job.h"
#include "core/pane.h"
#include "res/resource.h"

static const char kCaption[] = "Copy & Paste";

static int ToWide(const char* name, uint16_t* out, int capacity) {
    return MultiByteToWideChar(CP_ACP, 0, name, -1, (wchar_t*)out, capacity);
}

HGLOBAL BuildDropFiles(const char* const* paths, int count, int wide) {
    size_t size = FileListBlockSize(paths, count, wide, ToWide);
    ScopedGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    {
        GlobalLockScope lock(block.Get());
        if (!lock.Bytes())
            return nullptr;
        WriteFileListBlock((unsigned char*)lock.Bytes(), size, paths, count, wide, ToWide);
    }
    return block.Release();
}

int IsWellFormedFileList(HGLOBAL handle) {
    SIZE_T size = handle ? GlobalSize(handle) : 0;
    GlobalLockScope lock(size ? handle : nullptr);
    return lock.Bytes() && IsFileListBlockSound((const unsigned char*)lock.Bytes(), size);
}

int CollectSelectedPaths(HWND owner, HWND list, const char* folder, char (*slots)[PATH_SIZE], int capacity,
                         const char* caption, WalkSink& sink) {
    ScopedSelection items(list, sink);
    int count = 0, left = 0;
    for (int i = 0; i < items.taken.count; i++) {
        if (count == capacity) {
            left++;
            continue;
        }
        // Other programs read these as ANSI text: a name the code page can't
        // spell goes by its short name, or not at all.
        const char* name = NameForOthers(items.taken.items[i], sink);
        if (!name)
            continue;
        if (!ItemPath(slots[count], PATH_SIZE, folder, name, WALK_PATH_MAX)) {
            sink.PathTooLong(folder, name);
            continue;
        }
        count++;
    }
    if (left) {
        char text[96];
        FormatText(text, sizeof text, "選択の %d 個は含まれません (最大 %d 個)", left, capacity);
        ShowMessage(owner, text, caption, MB_OK);
    }
    return count;
}

int CopyPathsToClipboard(HWND owner, const char (*slots)[PATH_SIZE], int count, int wide) {
    const char* names[CLIPBOARD_SLOTS];
    if (count > CLIPBOARD_SLOTS)
        count = CLIPBOARD_SLOTS;
    for (int i = 0; i < count; i++)
        names[i] = slots[i];
    ScopedGlobal block(BuildDropFiles(names, count, wide));
    if (!block.Get()) {
        ShowMessage(owner, "GlobalAlloc Error", kCaption, MB_OK);
        return -1;
    }
    if (!OpenClipboard(owner)) {
        block.Reset();
        ShowMessage(owner, "Clipbord Open Error", kCaption, MB_OK);
        return -1;
    }
    EmptyClipboard();
    if (count > 0 && SetClipboardData(CF_HDROP, block.Get()))
        block.Release(); // the clipboard owns it now
    CloseClipboard();
    return 0;
}

INT_PTR CALLBACK OverwriteDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: SetDlgItemTextW(dialog, IDC_OVERWRITE_NAME, (const WCHAR*)lParam); return FALSE;
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        if (id == IDCANCEL || id == IDC_COPY_BY_DATE || id == IDC_OVERWRITE_COPY) {
            EndDialog(dialog, id);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

// A copy of the clipboard's block of our own: what a message box lets
// happen to the clipboard meanwhile can't free the list under the paste.
static HGLOBAL CopyOfBlock(HGLOBAL source) {
    SIZE_T size = GlobalSize(source);
    GlobalLockScope from(source);
    ScopedGlobal copy(from.Bytes() ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr);
    {
        GlobalLockScope to(copy.Get());
        if (!to.Bytes())
            return nullptr;
        memcpy(to.Bytes(), from.Bytes(), size);
    }
    return copy.Release();
}

// The force flag for a paste onto the existing entry at path, as the user
// answers the overwrite question; -1 to leave that entry alone. The question
// names the entry by its real name, which the copy acts on.
static int AskOverwrite(const FilePath& path) {
    WCHAR name[PATH_SIZE];
    if (IsWidePath(path))
        lstrcpynW(name, NameOfWidePath(path.wide), PATH_SIZE);
    else if (!WidenText(NameOfPath(path.text), name, PATH_SIZE))
        return -1;
    INT_PTR answer = RunDialog(nullptr, IDD_OVERWRITE, OverwriteDlgProc, (LPARAM)name);
    if (answer == IDC_OVERWRITE_COPY)
        return 1;
    return answer == IDC_COPY_BY_DATE ? 0 : -1;
}

// 1 when the entry lies in the folder itself, however either is spelt (a
// short name, a link, another case); by text where an identity can't be read.
static int IsEntryOfFolder(const FilePath& entry, const char* folder) {
    FilePath parent;
    FolderOfPath(entry.text, parent.text, sizeof parent.text);
    parent.wide[0] = 0;
    if (IsWidePath(entry)) {
        lstrcpyW(parent.wide, entry.wide);
        parent.wide[NameOfWidePath(parent.wide) - parent.wide] = 0;
    }
    FolderIdentity a, b;
    if (ReadFolderIdentity(parent, &a) && ReadFolderIdentity(folder, &b))
        return SameFolder(a, b);
    return IsSameFolderText(parent.text, folder);
}

// One entry of a paste: its target and, where one is there already, the
// user's answer; nothing when it is refused or left alone.
static void PlanOne(const FilePath& entry, const char* targetFolder, std::vector<CopyPair>* plan,
                    WalkSink& sink) {
    if (RefuseNamelessEntry(entry, sink))
        return;
    const char* bare = NameOfPath(entry.text);
    const WCHAR* realBare = IsWidePath(entry) ? NameOfWidePath(entry.wide) : nullptr;
    CopyPair pair;
    pair.source = entry;
    FilePath& target = pair.target;
    // A paste into the entry's own folder makes a copy beside it, which an
    // earlier paste may have made and the user edited: never replaced unasked.
    int besideItself = IsEntryOfFolder(entry, targetFolder);
    char copyName[PATH_SIZE + 16];
    WCHAR realCopyName[PATH_SIZE + 16];
    if (besideItself) {
        FormatText(copyName, sizeof copyName, "コピー ～ %s", bare);
        if (realBare) {
            if (!WidenText("コピー ～ ", realCopyName, PATH_SIZE) ||
                lstrlenW(realCopyName) + lstrlenW(realBare) >= PATH_SIZE) {
                sink.PathTooLong(targetFolder, copyName);
                return;
            }
            lstrcatW(realCopyName, realBare);
        }
        bare = copyName;
        realBare = realBare ? realCopyName : nullptr;
    }
    if (!ItemFilePath(&target, targetFolder, bare, realBare, WALK_PATH_MAX)) {
        sink.PathTooLong(targetFolder, bare);
        return;
    }
    if (RefuseCopyIntoItself(entry, target, sink))
        return;
    // The question names the entry it would replace, there already or
    // written by an earlier entry of this paste (two "x.txt" from two folders).
    pair.force = besideItself ? 1 : 0;
    int planned = 0;
    for (const CopyPair& earlier : *plan)
        planned |= lstrcmpiA(earlier.target.text, target.text) == 0 &&
                   (!IsWidePath(target) || lstrcmpiW(earlier.target.wide, target.wide) == 0);
    if ((planned || AttributesOfPath(target) != INVALID_FILE_ATTRIBUTES) &&
        (pair.force = AskOverwrite(target)) < 0)
        return;
    plan->push_back(pair);
}

int ReadDroppedName(HDROP drop, UINT index, FilePath* path, WalkSink& sink) {
    char* name = path->text;
    path->wide[0] = 0;
    UINT length = DragQueryFileA(drop, index, nullptr, 0);
    if (length == 0)
        return 0; // an empty name names nothing
    if (length >= PATH_SIZE) {
        // Longer than any path here: said, and skipped.
        char whole[1024] = "";
        DragQueryFileA(drop, index, whole, sizeof whole);
        sink.PathTooLong("", whole);
        return 0;
    }
    DragQueryFileA(drop, index, name, PATH_SIZE);
    // Another program's list names files by full paths. A relative name would
    // be read from wherever this program happens to stand: said, and skipped.
    int drive = ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') && name[1] == ':' && name[2] == '\\';
    if (!drive && !(name[0] == '\\' && name[1] == '\\')) {
        char text[PATH_SIZE + 64];
        FormatText(text, sizeof text, "%s\r\n完全なパスでない項目はコピーできません", name);
        sink.Failed(text, "CopyZ File ERROR");
        name[0] = '\0';
        return 0;
    }
    // A wide list may name a file the ANSI text doesn't reach: its own form is kept.
    UINT units = DragQueryFileW(drop, index, nullptr, 0);
    if (units == 0 || units >= PATH_SIZE || DragQueryFileW(drop, index, path->wide, PATH_SIZE) != units) {
        path->wide[0] = 0;
        return 0;
    }
    // A list may name an entry by its short name, as this program's own do
    // for names ending in "." or " ": the copy takes the name it stands for.
    WCHAR longer[PATH_SIZE];
    DWORD n = wcschr(path->wide, L'~') ? GetLongPathNameW(path->wide, longer, PATH_SIZE) : 0;
    if (n > 0 && n < PATH_SIZE)
        lstrcpyW(path->wide, longer);
    if (IsSpellable(path->wide) && !NeedsExactForm(path->wide))
        path->wide[0] = 0;
    return 1;
}

int PlanPaste(HWND owner, const char* targetFolder, std::vector<CopyPair>* plan, WalkSink& sink) {
    int opened = OpenClipboard(owner);
    HGLOBAL data = opened ? (HGLOBAL)GetClipboardData(CF_HDROP) : nullptr;
    ScopedGlobal list(data && IsWellFormedFileList(data) ? CopyOfBlock(data) : nullptr);
    if (!list.Get()) {
        if (opened)
            CloseClipboard();
        ShowMessage(owner, "Clipbord Open Error", kCaption, MB_OK);
        return -1;
    }
    HDROP drop = (HDROP)list.Get();
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        FilePath entry;
        if (ReadDroppedName(drop, i, &entry, sink))
            PlanOne(entry, targetFolder, plan, sink);
    }
    list.Reset();
    CloseClipboard();
    return (int)count;
}

void CopySelectionToClipboard(HWND owner, const Pane* pane, WalkSink& sink) {
    int selected = (int)SendMessageA(pane->list, LVM_GETSELECTEDCOUNT, 0, 0);
    char paths[CLIPBOARD_SLOTS][PATH_SIZE];
    int count = CollectSelectedPaths(owner, pane->list, pane->path, paths, CLIPBOARD_SLOTS, kCaption, sink);
    // Every chosen item was left out (and said): what the user had on the
    // clipboard stays. Nothing chosen at all empties it.
    if (selected > 0 && count == 0)
        return;
    CopyPathsToClipboard(owner, paths, count, 0);
}
