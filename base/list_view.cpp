#include "base/list_view.h"

#include <commctrl.h>

void SetCellText(HWND list, int item, int column, const char* text) {
    LVITEMA cell = {};
    cell.iSubItem = column;
    cell.pszText = (char*)text;
    SendMessageA(list, LVM_SETITEMTEXTA, item, (LPARAM)&cell);
}

void ReadCellText(HWND list, int item, int column, char* text, int capacity) {
    text[0] = '\0';
    LVITEMA cell = {};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = capacity;
    SendMessageA(list, LVM_GETITEMTEXTA, item, (LPARAM)&cell);
}

int ReadItemParam(HWND list, int item, LPARAM* param) {
    LVITEMA row = {};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    if (!SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&row))
        return 0;
    *param = row.lParam;
    return 1;
}

void SetItemParam(HWND list, int item, LPARAM param) {
    LVITEMA row = {};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    row.lParam = param;
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&row);
}
