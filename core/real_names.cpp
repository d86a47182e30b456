#include "core/real_names.h"

#include <string.h>

#include <vector>

namespace {
struct Kept {
    int index;
    char text[MAX_PATH];
    RealName real;
};
struct ListNames {
    HWND list;
    std::vector<Kept> kept;
};
// One table per list view; a program has two, the tests a few more.
std::vector<ListNames> gTables;

ListNames& TableOf(HWND list) {
    for (ListNames& table : gTables)
        if (table.list == list)
            return table;
    gTables.push_back(ListNames{list, {}});
    return gTables.back();
}
} // namespace

void ForgetRealNames(HWND list) {
    for (ListNames& table : gTables)
        if (table.list == list)
            std::vector<Kept>().swap(table.kept);
}

void KeepRealName(HWND list, int index, const char* text, const WCHAR* name, const char* shortName) {
    Kept kept;
    kept.index = index;
    lstrcpynA(kept.text, text, sizeof kept.text);
    lstrcpynW(kept.real.name, name, MAX_PATH);
    lstrcpynA(kept.real.shortName, shortName, sizeof kept.real.shortName);
    TableOf(list).kept.push_back(kept);
}

const RealName* FindRealName(HWND list, LPARAM param, const char* text) {
    if (!((DWORD)param & ITEM_HAS_REAL_NAME))
        return nullptr;
    // The parameter holds the listing index's low 16 bits only: past 65,536
    // items two kept names could share it, and then neither is guessed.
    unsigned index = ((DWORD)param >> 16) & 0xFFFF;
    const RealName* match = nullptr;
    for (const ListNames& table : gTables) {
        if (table.list != list)
            continue;
        for (const Kept& kept : table.kept) {
            if (((unsigned)kept.index & 0xFFFF) != index || strcmp(kept.text, text) != 0)
                continue;
            if (match)
                return nullptr;
            match = &kept.real;
        }
    }
    return match;
}
