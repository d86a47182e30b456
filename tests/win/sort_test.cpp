#include <gtest/gtest.h>

#include "core/filer_core.h"
#include "core/pane.h"
#include "panes/entry_cells.h"
#include "panes/pane_view.h"
#include "panes/sort_compare.h"
#include "tests/win/support/win_test_support.h"

static void SetWriteTime(const std::string& path, int year, int month, int day) {
    SYSTEMTIME st = {};
    st.wYear = (WORD)year;
    st.wMonth = (WORD)month;
    st.wDay = (WORD)day;
    st.wHour = 12;
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
}

class SortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        host_ =
            CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        list_ =
            CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
                            0, 0, 600, 400, host_, (HMENU)100, nullptr, nullptr);
        for (int i = 0; i < 4; i++)
            gCore->sortDirection[i] = 1;
        gCore->sortColumn = 0;
    }
    void TearDown() override {
        DestroyWindow(host_);
        gCore->sortColumn = 0;
        for (int i = 0; i < 4; i++)
            gCore->sortDirection[i] = 1;
    }
    std::string Order(int count) {
        std::string order;
        for (int i = 0; i < count; i++)
            order += ItemText(list_, i, 0) + " ";
        return order;
    }
    HWND host_, list_;
    TempFolder temp_;
};

TEST_F(SortTest, EachColumnBothDirectionsOnARealListing) {
    MakeFileOfSize(temp_ / "b.txt", 2000);
    MakeFileOfSize(temp_ / "A.txt", 1);
    MakeFileOfSize(temp_ / "c.dat", 1025000); // 1001KB: above 999KB by number
    MakeFileOfSize(temp_ / "d.txt", 1022000); // 999KB
    CreateDirectoryA((temp_ / "Zdir").c_str(), nullptr);
    CreateDirectoryA((temp_ / "adir").c_str(), nullptr);
    SetWriteTime(temp_ / "b.txt", 2020, 1, 1);
    SetWriteTime(temp_ / "A.txt", 2021, 1, 1);
    SetWriteTime(temp_ / "c.dat", 2019, 1, 1);
    SetWriteTime(temp_ / "d.txt", 2022, 6, 1);
    SetWriteTime(temp_ / "Zdir", 2023, 1, 1);
    SetWriteTime(temp_ / "adir", 2018, 1, 1);

    char path[PATH_SIZE];
    strcpy(path, temp_.path().c_str());
    InitPane(list_, path);
    ASSERT_EQ(6, ItemCount(list_));
    EXPECT_EQ("adir Zdir A.txt b.txt c.dat d.txt ", Order(6)) << "every listing sorts by name, folders first";

    // The first click sorts descending, the next ascending again.
    SortByColumn(list_, 0);
    EXPECT_EQ("d.txt c.dat b.txt A.txt Zdir adir ", Order(6));
    SortByColumn(list_, 0);
    EXPECT_EQ("adir Zdir A.txt b.txt c.dat d.txt ", Order(6));

    SortByColumn(list_, 1);
    std::string bySize = Order(6);
    EXPECT_EQ("c.dat d.txt b.txt A.txt ", bySize.substr(0, 24)) << bySize; // folders (0) last
    SortByColumn(list_, 1);
    EXPECT_EQ("A.txt b.txt d.txt c.dat ", Order(6).substr(10)) << Order(6);

    SortByColumn(list_, 3);
    EXPECT_EQ("Zdir d.txt A.txt b.txt c.dat adir ", Order(6));
    SortByColumn(list_, 3);
    EXPECT_EQ("adir c.dat b.txt A.txt d.txt Zdir ", Order(6));

    // Types: "dat file" < "Folder" (folded f) < "txt file".
    SortByColumn(list_, 2);
    EXPECT_EQ("c.dat", ItemText(list_, 5, 0)) << Order(6);
    SortByColumn(list_, 2);
    EXPECT_EQ("c.dat", ItemText(list_, 0, 0)) << Order(6);

    // A listing keeps the sort column and its direction, and resets only the name column.
    gCore->sortColumn = 3;
    gCore->sortDirection[0] = 2;
    gCore->sortDirection[3] = 2;
    ListFolder(list_, path);
    EXPECT_EQ("Zdir d.txt A.txt b.txt c.dat adir ", Order(6));
    EXPECT_EQ(1, gCore->sortDirection[0]);

    // Parameters survive the sort: each name still carries its own attributes.
    int z = FindItem(list_, "Zdir"), a = FindItem(list_, "A.txt");
    EXPECT_TRUE(ItemAttributes(ItemParam(list_, z)) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(ItemAttributes(ItemParam(list_, a)) & FILE_ATTRIBUTE_DIRECTORY);
}

// Past 65,536 items the listing index in the parameter repeats; the sort must not care.
TEST_F(SortTest, MoreItemsThanTheListingIndexCanCount) {
    const int count = 66000;
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageA(list_, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    PaneModel& model = ShowModelIn(list_);
    for (int i = 0; i < count; i++) {
        char name[16];
        snprintf(name, sizeof name, "n%05d", count - 1 - i);
        int entry = model.Add(name, nullptr, nullptr, "");
        model.Entry(entry).attributes = FILE_ATTRIBUTE_ARCHIVE;
    }
    model.EndListing();
    ShowRows(list_, model, PaneChoice());
    gCore->sortList = list_;
    SortList(0);
    for (int i : {0, 1, 65535, 65536, 65999}) {
        char expected[16];
        snprintf(expected, sizeof expected, "n%05d", i);
        EXPECT_EQ(expected, ItemText(list_, i, 0));
    }
    EXPECT_EQ(MakeItemParam(FILE_ATTRIBUTE_ARCHIVE, count - 1), ItemParam(list_, 0))
        << "its own parameter back";
}

// A listing inserts its rows already sorted; the order must be the one the
// list view's own sort gives the found order, ties and long names included.
TEST_F(SortTest, ListingOrderEqualsTheListViewsOwnSort) {
    TempFolder folder;
    for (int i = 0; i < 40; i++) {
        const char* ext[] = {".txt", ".bmp", ".dat"};
        std::string name = "f" + std::to_string((i * 7) % 40) + ext[i % 3];
        MakeFileOfSize(folder / name, (i % 4) * 1024);
        SetWriteTime(folder / name, 2020 + i % 2, 1, 1);
    }
    for (const char* dir : {"zdir", "adir"})
        CreateDirectoryA((folder / dir).c_str(), nullptr);
    // Names equal in their first 28 bytes; "表" (2 bytes) straddles byte 29.
    std::string prefix(28, 'p');
    for (const char* tail : {"\x95\x5C"
                             "b",
                             "\x95\x5C"
                             "a",
                             "x", "\x82\xA0"})
        MakeFileOfSize(folder / (prefix + tail), 1);
    char path[MAX_PATH];
    strcpy(path, folder.path().c_str());
    InitPane(list_, path); // the four columns, as a pane has them
    for (int column = 0; column < 4; column++) {
        for (int direction = 1; direction <= 2; direction++) {
            if (column == 0 && direction == 2)
                continue; // a listing sorts the name column ascending
            gCore->sortDirection[column] = direction;
            gCore->sortColumn = column;
            strcpy(path, folder.path().c_str());
            int count = ListFolder(list_, path);
            std::string listed = Order(count);
            // The same folder unsorted (found order), then the list view's sort.
            gCore->sortColumn = 9;
            ListFolder(list_, path);
            gCore->sortDirection[0] = 1;
            gCore->sortDirection[column] = direction;
            gCore->sortList = list_;
            SortList(column);
            EXPECT_EQ(Order(count), listed) << "column " << column << " direction " << direction;
            gCore->sortColumn = 0;
        }
    }
}

// The size, type and date columns sort by numbers; every order must be the
// one their texts give, ties in the order before.
TEST_F(SortTest, NumberKeysOrderAsTheCellTexts) {
    PaneModel& model = ShowModelIn(list_);
    const char* types[] = {"txt file", "TXT File", "bin file", "", "\x95\x5C file"};
    const uint64_t sizes[] = {0, 1, 1024, 1025, 999 * 1024, 1000 * 1024, 1ull << 40, ~0ull};
    srand(7);
    for (int i = 0; i < 3000; i++) {
        int index = model.Add(("n" + std::to_string(i)).c_str(), nullptr, nullptr, types[rand() % 5]);
        PaneEntry& entry = model.Entry(index);
        entry.size = sizes[rand() % 8] + (uint64_t)(rand() % 3);
        SYSTEMTIME t = {(WORD)(1995 + rand() % 3),
                        (WORD)(1 + rand() % 12),
                        0,
                        (WORD)(1 + rand() % 28),
                        (WORD)(rand() % 24),
                        (WORD)(rand() % 3),
                        (WORD)(rand() % 60),
                        0};
        SystemTimeToFileTime(&t, &entry.localTime);
        entry.flags = rand() % 10 == 0 ? ENTRY_NO_SIZE | ENTRY_NO_DATE : 0;
    }
    model.EndListing();
    for (int column = 1; column < 4; column++) {
        for (int direction = 1; direction <= 2; direction++) {
            std::vector<SortKey> keys((size_t)model.Count());
            for (int i = 0; i < model.Count(); i++) {
                char text[MAX_PATH];
                EntryCellText(model, model.Entry(i), column, text, sizeof text);
                MakeSortKey(text, 0, column, &keys[(size_t)i]);
            }
            std::vector<int> expected = model.order;
            SortRows(expected.data(), expected.size(), keys.data(), column, direction);
            SortModelRows(model, column, direction);
            EXPECT_EQ(expected, model.order) << "column " << column << " direction " << direction;
        }
    }
}
