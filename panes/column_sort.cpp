#include <stdlib.h>

#include "base/list_view.h"
#include "core/filer_core.h"
#include "panes/sort_compare.h"

// During one sort every item's parameter is its position before the sort, an
// index into this key table; the real parameters are put back afterwards. So
// each text is read once per sort, not twice per comparison, and the order is
// right even where the 16-bit listing index repeats (more than 65,536 items).
static SortKey* gKeys;

int CALLBACK CompareItems(LPARAM param1, LPARAM param2, LPARAM column) {
    if (!gCore || !gKeys)
        return 0;
    return CompareSortKeys(gKeys[param1], gKeys[param2], (int)column, gCore->sortDirection[column]);
}

int FilerCore::SortList(int column) {
    HWND list = sortList;
    if (column < 0 || column > 3)
        return 0;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (count < 2)
        return 1;
    SortKey* keys = (SortKey*)calloc((size_t)count, sizeof(SortKey));
    LPARAM* params = (LPARAM*)calloc((size_t)count, sizeof(LPARAM));
    int result = 0;
    if (keys && params) {
        for (int i = 0; i < count; i++) {
            ReadItemParam(list, i, &params[i]);
            char text[32];
            ReadCellText(list, i, column, text, 30);
            MakeSortKey(text, (unsigned)params[i] & 0xFFFF, column, &keys[i]);
            SetItemParam(list, i, i);
        }
        gKeys = keys;
        result = (int)SendMessageA(list, LVM_SORTITEMS, (WPARAM)column, (LPARAM)CompareItems);
        gKeys = nullptr;
        for (int i = 0; i < count; i++) {
            LPARAM before = 0;
            ReadItemParam(list, i, &before);
            SetItemParam(list, i, params[before]);
        }
    }
    free(keys);
    free(params);
    return result;
}

int FilerCore::SortByColumn(HWND list, int column) {
    if (column < 0 || column > 3)
        return 0;
    sortDirection[column] = sortDirection[column] == 1 ? 2 : 1;
    sortList = list;
    return SortList(column);
}
