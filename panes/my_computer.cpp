#include "panes/my_computer.h"

#include <commctrl.h>
#include <shellapi.h>

#include "panes/id_lists.h"
#include "panes/list_text.h"
#include "panes/pane.h"

static IShellFolder* gDesktopFolder;
static IShellFolder* gMyComputerFolder;
static LPITEMIDLIST gMyComputerIdList;

static const SHCONTF kEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

static void FreeIdList(void* list) {
    IMalloc* allocator = nullptr;
    if (list && SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(list);
        allocator->Release();
    }
}

LPITEMIDLIST JoinIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    size_t size = JoinedIdListSize(first, second);
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)))
        return nullptr;
    void* joined = allocator->Alloc(size);
    allocator->Release();
    if (!joined)
        return nullptr;
    ZeroMemory(joined, size);
    JoinIdListsInto(joined, first, second);
    return (LPITEMIDLIST)joined;
}

void ReleaseShellFolders() {
    if (gDesktopFolder) {
        gDesktopFolder->Release();
        gDesktopFolder = nullptr;
    }
    if (gMyComputerFolder) {
        gMyComputerFolder->Release();
        gMyComputerFolder = nullptr;
    }
}

static void SetCell(HWND list, int item, int column, const char* text) {
    LVITEMA cell = {};
    cell.iSubItem = column;
    cell.pszText = (char*)text;
    SendMessageA(list, LVM_SETITEMTEXTA, item, (LPARAM)&cell);
}

// Where the shell has no find data (under Wine, for every drive), its own
// attributes still tell a file-system folder, which a double-click enters.
static DWORD ShellFolderBit(IShellFolder* folder, LPCITEMIDLIST child) {
    SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    if (FAILED(folder->GetAttributesOf(1, &child, &attributes)))
        return 0;
    return (attributes & SFGAO_FOLDER) && (attributes & SFGAO_FILESYSTEM) ? FILE_ATTRIBUTE_DIRECTORY : 0;
}

int ListShellFolder(HWND list, IShellFolder* folder, LPCITEMIDLIST parent) {
    IEnumIDList* children = nullptr;
    if (folder->EnumObjects(GetParent(list), kEnumFlags, &children) != S_OK || !children)
        return 0;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int index = 0;
    LPITEMIDLIST child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) {
        LPITEMIDLIST absolute = JoinIdLists(parent, child);
        if (!absolute) {
            FreeIdList(child);
            continue;
        }
        SHFILEINFOA info = {};
        SHGetFileInfoA((const char*)absolute, 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_DISPLAYNAME | SHGFI_PIDL | SHGFI_SMALLICON);
        FreeIdList(absolute);
        WIN32_FIND_DATAA found = {};
        int haveData = SUCCEEDED(SHGetDataFromIDListA(folder, child, SHGDFIL_FINDDATA, &found, sizeof found));
        DWORD attributes = haveData ? found.dwFileAttributes : ShellFolderBit(folder, child);

        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = index;
        item.pszText = info.szDisplayName;
        item.iImage = info.iIcon;
        item.lParam = MakeItemParam(attributes, index);
        int at = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        FreeIdList(child);
        if (at < 0)
            continue;
        char text[64];
        if (haveData && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            uint64_t size = ((uint64_t)found.nFileSizeHigh << 32) | found.nFileSizeLow;
            if (FormatSizeText(text, sizeof text, size))
                SetCell(list, at, 1, text);
        }
        if (haveData && !(attributes & FILE_ATTRIBUTE_SYSTEM)) {
            FILETIME local;
            SYSTEMTIME t;
            if (FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &t) &&
                FormatDateText(text, sizeof text, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute))
                SetCell(list, at, 3, text);
        }
        SetCell(list, at, 2, info.szTypeName);
        index++;
    }
    children->Release();
    return index;
}

int ListMyComputer(HWND list) {
    ReleaseShellFolders();
    if (FAILED(SHGetDesktopFolder(&gDesktopFolder)) || !gDesktopFolder)
        return 0;
    IEnumIDList* items = nullptr;
    HRESULT result = gDesktopFolder->EnumObjects(GetParent(list), kEnumFlags, &items);
    if (result != S_OK || !items) {
        ReleaseShellFolders();
        return result;
    }
    FreeIdList(gMyComputerIdList);
    gMyComputerIdList = nullptr;
    // The desktop's first item is My Computer. Without one, or when it can't
    // be bound, the pane keeps what it showed.
    if (items->Next(1, &gMyComputerIdList, nullptr) != S_OK || !gMyComputerIdList ||
        FAILED(gDesktopFolder->BindToObject(gMyComputerIdList, nullptr, IID_IShellFolder,
                                            (void**)&gMyComputerFolder)) ||
        !gMyComputerFolder) {
        items->Release();
        ReleaseShellFolders();
        return 0;
    }
    items->Release();
    int listed = ListShellFolder(list, gMyComputerFolder, gMyComputerIdList);
    ReleaseShellFolders();
    return listed;
}
