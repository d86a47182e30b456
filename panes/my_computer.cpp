#include "panes/my_computer.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/scoped.h"
#include "panes/entry_cells.h"
#include "panes/id_lists.h"
#include "core/pane.h"
#include "panes/pane_view.h"

static const SHCONTF kEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

static void FreeIdList(void* list) {
    ScopedComPtr<IMalloc> allocator;
    if (list && SUCCEEDED(SHGetMalloc(allocator.Out())))
        allocator->Free(list);
}

// An item id list from the shell's allocator, freed with it.
class ScopedIdList {
  public:
    ScopedIdList() : list_(nullptr) {}
    ~ScopedIdList() { FreeIdList(list_); }
    ScopedIdList(const ScopedIdList&) = delete;
    ScopedIdList& operator=(const ScopedIdList&) = delete;
    LPITEMIDLIST Get() const { return list_; }
    LPITEMIDLIST* Out() {
        FreeIdList(list_);
        list_ = nullptr;
        return &list_;
    }

  private:
    LPITEMIDLIST list_;
};

LPITEMIDLIST JoinIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    size_t size = JoinedIdListSize(first, second);
    ScopedComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Out())))
        return nullptr;
    void* joined = allocator->Alloc(size);
    if (!joined)
        return nullptr;
    ZeroMemory(joined, size);
    JoinIdListsInto(joined, first, second);
    return (LPITEMIDLIST)joined;
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
    ScopedComPtr<IEnumIDList> children;
    if (folder->EnumObjects(GetParent(list), kEnumFlags, children.Out()) != S_OK || !children)
        return 0;
    PaneChoice choice;
    PaneModel& model = BeginListing(list, "", &choice);
    ScopedIdList child;
    while (children->Next(1, child.Out(), nullptr) == S_OK) {
        ScopedIdList absolute;
        *absolute.Out() = JoinIdLists(parent, child.Get());
        if (!absolute.Get())
            continue;
        SHFILEINFOA info = {};
        SHGetFileInfoA((const char*)absolute.Get(), 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_DISPLAYNAME | SHGFI_PIDL |
                           SHGFI_SMALLICON);
        WIN32_FIND_DATAA found = {};
        int haveData =
            SUCCEEDED(SHGetDataFromIDListA(folder, child.Get(), SHGDFIL_FINDDATA, &found, sizeof found));
        if (!haveData)
            found.dwFileAttributes = ShellFolderBit(folder, child.Get());
        // The row shows the shell's display name, not the find data's.
        lstrcpynA(found.cFileName, info.szDisplayName, sizeof found.cFileName);
        found.cAlternateFileName[0] = '\0';
        AddListedEntry(model, found, haveData, nullptr, 1, info.iIcon, info.szTypeName);
    }
    // Shown in the shell's order, as it gives them.
    model.EndListing();
    ShowRows(list, model, choice);
    return model.Rows();
}

int ListMyComputer(HWND list) {
    ScopedComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Out())) || !desktop)
        return 0;
    ScopedComPtr<IEnumIDList> items;
    HRESULT result = desktop->EnumObjects(GetParent(list), kEnumFlags, items.Out());
    if (result != S_OK || !items)
        return result;
    // The desktop's first item is My Computer. Without one, or when it can't
    // be bound, the pane keeps what it showed.
    ScopedIdList myComputerIds;
    ScopedComPtr<IShellFolder> myComputer;
    if (items->Next(1, myComputerIds.Out(), nullptr) != S_OK || !myComputerIds.Get() ||
        FAILED(desktop->BindToObject(myComputerIds.Get(), nullptr, IID_IShellFolder,
                                     (void**)myComputer.Out())) ||
        !myComputer)
        return 0;
    return ListShellFolder(list, myComputer.Get(), myComputerIds.Get());
}
