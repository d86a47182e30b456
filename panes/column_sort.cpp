#include "panes/folder_listing.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/filer_core.h"
#include "core/pane_model.h"
#include "panes/pane_view.h"

int SortList(int column) {
    HWND list = gCore->sortList;
    PaneModel* model = ModelOfList(list);
    if (column < 0 || column > 3 || !model)
        return 0;
    if (model->Rows() < 2) {
        model->sortedColumn = column;
        model->sortedDirection = gCore->sortDirection[column];
        return 1;
    }
    // The selection and the focus stay on their entries, wherever they go.
    std::vector<char> selected((size_t)model->Count());
    std::vector<int> before;
    for (int row = -1; (row = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED)) != -1;)
        if (int entry = model->EntryOfRow(row); entry >= 0)
            selected[(size_t)entry] = 1, before.push_back(row);
    int focusedRow = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    int focused = model->EntryOfRow(focusedRow);

    SortModelRows(*model, column, gCore->sortDirection[column]);

    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    // With every row selected the selection stays as it is; a few selected
    // rows are cleared one by one, many at once.
    int all = (int)before.size() == model->Rows();
    if (!all && (int)before.size() > model->Rows() / 4) {
        SetRowState(list, -1, LVIS_SELECTED, 0);
        before.clear();
    }
    for (size_t i = 0; !all && i < before.size(); i++)
        SetRowState(list, before[i], LVIS_SELECTED, 0);
    if (focusedRow >= 0)
        SetRowState(list, focusedRow, LVIS_FOCUSED, 0);
    for (int row = 0; row < model->Rows(); row++) {
        int entry = model->order[(size_t)row];
        if (!all && selected[(size_t)entry])
            SetRowState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        if (entry == focused) {
            SetRowState(list, row, LVIS_FOCUSED, LVIS_FOCUSED);
            SendMessageA(list, LVM_SETSELECTIONMARK, 0, (LPARAM)row);
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    return 1;
}

int SortByColumn(HWND list, int column) {
    if (column < 0 || column > 3)
        return 0;
    gCore->sortDirection[column] = gCore->sortDirection[column] == 1 ? 2 : 1;
    gCore->sortList = list;
    return SortList(column);
}
