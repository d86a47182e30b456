#include "core/filer_core.h"

#include <string.h>

#include "base/prompts.h"
#include "base/scoped.h"

FilerCore* gCore;

FilerCore& MakeFilerCore() {
    // One for the program's life: a second main window (tests make several)
    // finds the tables and the sort state of the first.
    if (!gCore)
        gCore = new FilerCore;
    return *gCore;
}

FilerCore::FilerCore() {
    memset(panes, 0, sizeof panes);
    activePane = -1;
    editing = givingFocusBack = 0;
    statusBar = sortList = nullptr;
    cancelFlag = 0;
    for (int& d : sortDirection)
        d = 1;
    systemImageList = nullptr;
    sortColumn = 0;
    LoadAssociations("Brenn.dat");
}

// A listing of My Computer releases its shell folders itself, on every path.
FilerCore::~FilerCore() {}

int FilerCore::LoadAssociations(const char* fileName) {
    ScopedHandle file(
        CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        ShowMessage(nullptr, "Brenn.dat  Open Error", "READ DATA FILE", MB_OK);
        return 0;
    }
    // Records are small and the file is read once: take it whole.
    DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE)
        size = 0;
    char* data = (char*)HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    DWORD total = 0, got = 0;
    while (data && total < size && ReadFile(file.Get(), data + total, size - total, &got, nullptr) && got > 0)
        total += got;
    file.Reset();
    memset(toolTable, 0, sizeof toolTable);
    memset(extensionRules, 0, sizeof extensionRules);
    toolCount = ruleCount = 0;
    if (data) {
        ParseAssociations(data, total, AssocTables{toolTable, extensionRules, &toolCount, &ruleCount});
        HeapFree(GetProcessHeap(), 0, data);
    }
    return 1;
}
