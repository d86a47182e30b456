#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/filer_core.h"
#include "core/pane_model.h"
#include "panes/pane_view.h"

int FilerCore::SortList(int column) {
    HWND list = sortList;
    PaneModel* model = ModelOfList(list);
    if (column < 0 || column > 3 || !model)
        return 0;
    if (model->Rows() < 2)
        return 1;
    // The selection and the focus stay on their entries, wherever they go.
    std::vector<char> selected((size_t)model->Count());
    int chosen = 0;
    for (int row = -1; (row = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED)) != -1;)
        if (int entry = model->EntryOfRow(row); entry >= 0)
            selected[(size_t)entry] = 1, chosen++;
    int focused = model->EntryOfRow((int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED));

    SortModelRows(*model, column, sortDirection[column]);

    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    if (chosen || focused >= 0) {
        LVITEMA none = {};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&none);
        for (int row = 0; row < model->Rows(); row++) {
            int entry = model->order[(size_t)row];
            UINT state =
                (selected[(size_t)entry] ? LVIS_SELECTED : 0) | (entry == focused ? LVIS_FOCUSED : 0);
            if (!state)
                continue;
            LVITEMA item = {};
            item.stateMask = item.state = state;
            SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&item);
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return 1;
}

int FilerCore::SortByColumn(HWND list, int column) {
    if (column < 0 || column > 3)
        return 0;
    sortDirection[column] = sortDirection[column] == 1 ? 2 : 1;
    sortList = list;
    return SortList(column);
}
