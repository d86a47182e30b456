// Times column sorting of a real list view's model of 10,000 to 100,000
// items, each column both ways, against sorting the same keys in a plain array.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/filer_core.h"
#include "core/pane.h"
#include "panes/entry_cells.h"
#include "panes/pane_view.h"
#include "panes/sort_compare.h"
#include "panes/folder_listing.h"

static double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)f.QuadPart;
}

static const char* kTypes[] = {"テキスト ドキュメント", "Folder", "ビットマップ イメージ", "JPEG イメージ"};

// A listing as ListFolder leaves it: names, sizes, type names, dates, one
// folder in twenty, in the order a file system might return them.
static void FillList(HWND list, int count, std::vector<std::vector<std::string>>* cells) {
    PaneModel& model = ShowModelIn(list);
    model.Clear();
    srand(12345);
    cells->assign(4, std::vector<std::string>());
    for (int i = 0; i < count; i++) {
        bool folder = i % 20 == 0;
        char name[64];
        snprintf(name, sizeof name, "%s%05d%s", folder ? "Folder " : "file_", rand() % 100000,
                 folder ? "" : ".txt");
        const char* type = folder ? kTypes[1] : kTypes[(i % 3 == 0) ? 0 : 2 + i % 2];
        int index = model.Add(name, nullptr, nullptr, type);
        PaneEntry& entry = model.Entry(index);
        entry.attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        entry.size = (uint64_t)(rand() % 2000000) * 1024;
        if (folder)
            entry.flags |= ENTRY_NO_SIZE;
        SYSTEMTIME t = {};
        t.wYear = (WORD)(1995 + rand() % 30);
        t.wMonth = (WORD)(1 + rand() % 12);
        t.wDay = (WORD)(1 + rand() % 28);
        t.wHour = (WORD)(rand() % 24);
        t.wMinute = (WORD)(rand() % 60);
        SystemTimeToFileTime(&t, &entry.localTime);
        for (int c = 0; c < 4; c++) {
            char text[MAX_PATH];
            EntryCellText(model, entry, c, text, sizeof text);
            (*cells)[c].push_back(text);
        }
    }
    model.EndListing();
    ShowRows(list, model, PaneChoice());
}

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int main(int argc, char** argv) {
    MakeFilerCore();
    int runs = argc > 1 ? atoi(argv[1]) : 5;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND host =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_OWNERDATA, 0, 0, 600, 400,
                                host, (HMENU)100, nullptr, nullptr);
    for (int c = 0; c < 4; c++) {
        LVCOLUMNA col = {};
        col.mask = LVCF_WIDTH;
        col.cx = 100;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
    }
    if (!list) {
        fprintf(stderr, "no list view (host %p, error %lu)\n", (void*)host, GetLastError());
        return 1;
    }
    static const char* kColumns[] = {"name", "size", "type", "date"};
    printf("| case | median s | min-max s | plain array s | ratio |\n|---|---|---|---|---|\n");
    int sizes[] = {10000, 50000, 100000};
    for (int count : sizes) {
        std::vector<std::vector<std::string>> cells;
        FillList(list, count, &cells);
        if ((int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != count) {
            fprintf(stderr, "the list view holds %d items, not %d\n",
                    (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), count);
            return 1;
        }
        gCore->sortList = list;
        for (int column = 0; column < 4; column++) {
            for (int direction = 1; direction <= 2; direction++) {
                std::vector<double> own, plain;
                for (int run = 0; run < runs; run++) {
                    // Each run starts from another column's order, as after a
                    // click on that column: never from an order close to the result.
                    int before = (column + 1) % 4;
                    gCore->sortDirection[before] = direction;
                    SortList(before);
                    gCore->sortDirection[column] = direction;
                    double t0 = Now();
                    SortList(column);
                    own.push_back(Now() - t0);

                    t0 = Now();
                    std::vector<SortKey> keys((size_t)count);
                    for (int i = 0; i < count; i++)
                        MakeSortKey(cells[column][i].c_str(),
                                    i % 20 == 0 ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE, column,
                                    &keys[i]);
                    std::stable_sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
                        return CompareSortKeys(a, b, column, direction) < 0;
                    });
                    plain.push_back(Now() - t0);
                }
                double m = Median(own), p = Median(plain);
                printf("| sort %d by %s %s | %.3f | %.3f-%.3f | %.3f | %.1fx |\n", count, kColumns[column],
                       direction == 1 ? "asc" : "desc", m, *std::min_element(own.begin(), own.end()),
                       *std::max_element(own.begin(), own.end()), p, p > 0 ? m / p : 0.0);
                fflush(stdout);
            }
        }
        // Every row selected and the focus on one: the selection is carried
        // to the rows' new places. Each run turns the name order round.
        std::vector<double> own;
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
        state.stateMask = state.state = LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 5, (LPARAM)&state);
        for (int run = 0; run < runs; run++) {
            gCore->sortDirection[0] = run % 2 ? 1 : 2;
            double t0 = Now();
            SortList(0);
            own.push_back(Now() - t0);
        }
        printf("| sort %d by name, all %d selected | %.3f | %.3f-%.3f | - | - |\n", count,
               (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), Median(own),
               *std::min_element(own.begin(), own.end()), *std::max_element(own.begin(), own.end()));
        fflush(stdout);
    }
    DestroyWindow(host);
    return 0;
}
