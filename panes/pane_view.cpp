#include "panes/pane_view.h"

#include <commctrl.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "base/cp932.h"
#include "panes/entry_cells.h"
#include "panes/list_text.h"
#include "panes/sort_compare.h"

// The entry a display question is about, with its icon answered; null when
// no text is asked for or there is no such row.
template <class Info> static const PaneEntry* AnswerIcon(const PaneModel& model, Info* info) {
    int index = model.EntryOfRow(info->item.iItem);
    if (index < 0)
        return nullptr;
    const PaneEntry& entry = model.Entry(index);
    if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = entry.icon;
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return nullptr;
    return &entry;
}

static void AnswerDisplay(const PaneModel& model, NMLVDISPINFOW* info) {
    const PaneEntry* entry = AnswerIcon(model, info);
    if (!entry)
        return;
    if (info->item.iSubItem == COLUMN_NAME && (entry->flags & ENTRY_SHOWS_REAL_NAME)) {
        lstrcpynW(info->item.pszText, model.RealNameOf(*entry), info->item.cchTextMax);
        return;
    }
    char text[MAX_PATH];
    WCHAR wide[MAX_PATH];
    EntryCellText(model, *entry, info->item.iSubItem, text, sizeof text);
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH))
        wide[0] = 0;
    lstrcpynW(info->item.pszText, wide, info->item.cchTextMax);
}

// The list asks as ANSI only where its parent was never asked again for wide
// notices; answered all the same.
static void AnswerDisplayAnsi(const PaneModel& model, NMLVDISPINFOA* info) {
    if (const PaneEntry* entry = AnswerIcon(model, info))
        EntryCellText(model, *entry, info->item.iSubItem, info->item.pszText, (size_t)info->item.cchTextMax);
}

// Type-ahead: the first row from the start row on (round to the top where
// asked) whose name begins with the typed letters, case folded as names are.
static int FindTyped(const PaneModel& model, const NMLVFINDITEMW* find) {
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz)
        return -1;
    char typed[MAX_PATH];
    if (!WideCharToMultiByte(CP_ACP, 0, find->lvfi.psz, -1, typed, sizeof typed, nullptr, nullptr) ||
        !typed[0])
        return -1;
    size_t length = strlen(typed);
    int rows = model.Rows();
    int start = find->iStart >= 0 && find->iStart < rows ? find->iStart : 0;
    int wrap = (find->lvfi.flags & LVFI_WRAP) != 0;
    for (int i = 0; i < rows; i++) {
        int row = start + i;
        if (row >= rows) {
            if (!wrap)
                break;
            row -= rows;
        }
        const char* name = model.Name(model.Entry(model.order[(size_t)row]));
        if ((find->lvfi.flags & LVFI_PARTIAL) ? CompareFolded932N(name, typed, length) == 0
                                              : CompareFolded932(name, typed) == 0)
            return row;
    }
    return -1;
}

// The model's procedure stands in front of each list (to forget its model
// when it goes) and of the list's parent (to answer for it wherever the list
// lives: the main window, a test's own window). Put there by hand, not with
// SetWindowSubclass, whose bookkeeping costs a round trip to the server on
// every message under Wine.
struct FrontedWindow {
    HWND window;
    WNDPROC own;
    int unicode;
};
static std::vector<FrontedWindow> gFronted;

static LRESULT CallOwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (size_t i = 0; i < gFronted.size(); i++) {
        if (gFronted[i].window != window)
            continue;
        FrontedWindow fronted = gFronted[i];
        if (message == WM_NCDESTROY)
            gFronted.erase(gFronted.begin() + (ptrdiff_t)i);
        return fronted.unicode ? CallWindowProcW(fronted.own, window, message, wParam, lParam)
                               : CallWindowProcA(fronted.own, window, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The parent takes the list's notices as wide text, so that a name the code
// page can't spell reaches other programs' wide questions as itself.
static LRESULT CALLBACK ModelFrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFYFORMAT:
        if (lParam == NF_QUERY && ModelOfList((HWND)wParam))
            return NFR_UNICODE;
        break;
    case WM_NOTIFY: {
        const NMHDR* header = (const NMHDR*)lParam;
        PaneModel* model = ModelOfList(header->hwndFrom);
        if (!model)
            break;
        switch (header->code) {
        case LVN_GETDISPINFOW: AnswerDisplay(*model, (NMLVDISPINFOW*)lParam); return 0;
        case LVN_GETDISPINFOA: AnswerDisplayAnsi(*model, (NMLVDISPINFOA*)lParam); return 0;
        case LVN_ODFINDITEMW: return FindTyped(*model, (const NMLVFINDITEMW*)lParam);
        case LVN_ODCACHEHINT: return 0;
        }
        break;
    }
    case WM_NCDESTROY: ForgetModel(window); break;
    }
    return CallOwnProc(window, message, wParam, lParam);
}

static void StandInFront(HWND window) {
    for (const FrontedWindow& fronted : gFronted)
        if (fronted.window == window)
            return;
    // The window keeps the kind of text its own procedure takes.
    int unicode = IsWindowUnicode(window);
    LONG_PTR own = unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)ModelFrontProc)
                           : SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)ModelFrontProc);
    if (own)
        gFronted.push_back(FrontedWindow{window, (WNDPROC)own, unicode});
}

PaneModel& ShowModelIn(HWND list) {
    if (PaneModel* model = ModelOfList(list))
        return *model;
    PaneModel& model = MakeModelFor(list);
    StandInFront(list);
    HWND parent = GetParent(list);
    StandInFront(parent);
    SendMessageW(list, WM_NOTIFYFORMAT, (WPARAM)parent, NF_REQUERY);
    return model;
}

static int NextRow(HWND list, int after, UINT flags) {
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)after, flags);
}

void SetRowState(HWND list, int row, UINT mask, UINT state) {
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&item);
}

// Reads the list's selection, focus and first visible row as entry keys.
void ReadPaneChoice(HWND list, const PaneModel& model, PaneChoice* choice) {
    choice->kept = 1;
    for (int row = -1; (row = NextRow(list, row, LVNI_SELECTED)) != -1;)
        if (int entry = model.EntryOfRow(row); entry >= 0)
            choice->selected.insert(model.KeyOf(entry));
    if (int entry = model.EntryOfRow(NextRow(list, -1, LVNI_FOCUSED)); entry >= 0)
        choice->focused = model.KeyOf(entry);
    choice->topRow = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    if (int entry = model.EntryOfRow(choice->topRow); entry >= 0 && choice->topRow > 0)
        choice->top = model.KeyOf(entry);
}

PaneModel& BeginListing(HWND list, const char* folder, PaneChoice* choice) {
    PaneModel& model = ShowModelIn(list);
    if (CompareFolded932(model.folder.c_str(), folder) == 0)
        ReadPaneChoice(list, model, choice);
    model.Clear();
    model.folder = folder;
    return model;
}

// Scrolls so that row is the first one shown (or the last page is).
static void ScrollToRow(HWND list, int row) {
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    if (row == top)
        return;
    // A row above the view comes in at the top; one below it, at the bottom
    // of a page that starts with row.
    int page = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    int last = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) - 1;
    int shown = row < top || page < 1 ? row : row + page - 1;
    SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)(shown < last ? shown : last), FALSE);
}

void ShowRows(HWND list, const PaneModel& model, const PaneChoice& choice) {
    int rows = model.Rows();
    // One repaint when the rows are all there, not one per restored state.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, (WPARAM)rows, LVSICF_NOSCROLL);
    int topRow = 0;
    if (choice.kept && (!choice.selected.empty() || !choice.focused.empty() || !choice.top.empty())) {
        topRow = -1;
        std::vector<int> chosen;
        for (int row = 0; row < rows; row++) {
            std::string key = model.KeyOf(model.order[(size_t)row]);
            if (choice.selected.count(key))
                chosen.push_back(row);
            if (key == choice.focused) {
                SetRowState(list, row, LVIS_FOCUSED, LVIS_FOCUSED);
                SendMessageA(list, LVM_SETSELECTIONMARK, 0, (LPARAM)row);
            }
            if (!choice.top.empty() && key == choice.top)
                topRow = row;
        }
        // Every row chosen again is one change, not one per row.
        if (rows > 0 && (int)chosen.size() == rows)
            chosen.assign(1, -1);
        for (int row : chosen)
            SetRowState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        // A first row that went: the list stays about where it was.
        if (topRow < 0)
            topRow = choice.topRow < rows ? choice.topRow : rows - 1;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    if (rows > 0)
        ScrollToRow(list, topRow);
    InvalidateRect(list, nullptr, TRUE);
}

// The key by which the size, type or date column orders an entry, as a
// number that orders entries as the column's text does: kilobytes, the type
// name's rank, the date's digits (0 for an empty cell, which sorts first).
// 0 when the column can't be told by number (a date past the year 9999).
static int NumberKeys(const PaneModel& model, int column, std::vector<uint64_t>* keys) {
    std::vector<uint64_t> typeRank;
    if (column == COLUMN_TYPE) {
        // The distinct type names, ranked once by their sort keys.
        std::vector<SortKey> typeKeys;
        std::vector<int> types;
        for (int i = 0; i < model.Count(); i++) {
            uint32_t type = model.Entry(i).type;
            if (type >= typeKeys.size()) {
                typeKeys.resize(type + 1);
                types.resize(type + 1, -1);
            }
            if (types[type] < 0) {
                MakeSortKey(model.Type(model.Entry(i)), 0, column, &typeKeys[type]);
                types[type] = (int)type;
            }
        }
        std::vector<int> ranked;
        for (int type : types)
            if (type >= 0)
                ranked.push_back(type);
        SortRows(ranked.data(), ranked.size(), typeKeys.data(), column, 1);
        typeRank.assign(types.size(), 0);
        for (size_t i = 0; i < ranked.size(); i++)
            typeRank[(size_t)ranked[i]] =
                i > 0 && CompareSortKeys(typeKeys[(size_t)ranked[i]], typeKeys[(size_t)ranked[i - 1]], column,
                                         1) == 0
                    ? typeRank[(size_t)ranked[i - 1]]
                    : i;
    }
    keys->resize((size_t)model.Count());
    for (int i = 0; i < model.Count(); i++) {
        const PaneEntry& entry = model.Entry(i);
        uint64_t& key = (*keys)[(size_t)i];
        SYSTEMTIME t;
        switch (column) {
        case COLUMN_SIZE: key = (entry.flags & ENTRY_NO_SIZE) ? 0 : SizeInKilobytes(entry.size); break;
        case COLUMN_TYPE: key = typeRank[entry.type]; break;
        case COLUMN_DATE:
            key = 0;
            if (!(entry.flags & ENTRY_NO_DATE) && FileTimeToSystemTime(&entry.localTime, &t)) {
                if (t.wYear < 1000 || t.wYear > 9999)
                    return 0;
                key = 1 + ((((uint64_t)t.wYear * 100 + t.wMonth) * 100 + t.wDay) * 100 + t.wHour) * 100 +
                      t.wMinute;
            }
            break;
        }
    }
    return 1;
}

void SortModelRows(PaneModel& model, int column, int direction) {
    if (column < 0 || column > 3)
        return;
    model.sortedColumn = column;
    model.sortedDirection = direction;
    if (model.Rows() < 2)
        return;
    std::vector<uint64_t> numbers;
    if (column != COLUMN_NAME && NumberKeys(model, column, &numbers)) {
        std::stable_sort(model.order.begin(), model.order.end(), [&](int a, int b) {
            return direction == 1 ? numbers[(size_t)a] < numbers[(size_t)b]
                                  : numbers[(size_t)a] > numbers[(size_t)b];
        });
        return;
    }
    // Each key is made once, from the text the row shows in that column.
    std::vector<SortKey> keys((size_t)model.Count());
    char text[MAX_PATH];
    for (int i = 0; i < model.Count(); i++) {
        const PaneEntry& entry = model.Entry(i);
        EntryCellText(model, entry, column, text, sizeof text);
        MakeSortKey(text, entry.attributes & 0xFFFF, column, &keys[(size_t)i]);
    }
    SortRows(model.order.data(), model.order.size(), keys.data(), column, direction);
}

void SortNewListing(PaneModel& model, int column, int direction) {
    if (column != COLUMN_NAME)
        SortModelRows(model, COLUMN_NAME, 1);
    SortModelRows(model, column, direction);
}

void RedrawEntry(HWND list, int entry) {
    PaneModel* model = ModelOfList(list);
    int row = model ? model->RowOfEntry(entry) : -1;
    if (row >= 0)
        SendMessageA(list, LVM_REDRAWITEMS, (WPARAM)row, (LPARAM)row);
}
