#include <gtest/gtest.h>

#include "app/app_state.h"
#include "core/filer_core.h"
#include "core/pane.h"
#include "tests/win/support/win_test_support.h"

#include <shellapi.h>

// A real list view set up by InitPane inside a hidden window of the test.
class ListingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        host_ =
            CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        list_ =
            CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
                            0, 0, 600, 400, host_, (HMENU)100, nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND host_ = nullptr;
    HWND list_ = nullptr;
    TempFolder temp_;
};

TEST_F(ListingTest, ShowsTextsAndParametersOfARealFolder) {
    MakeFileOfSize(temp_ / "zero.bin", 0);
    MakeFileOfSize(temp_ / "one.bin", 1);
    MakeFileOfSize(temp_ / "k1024.bin", 1024);
    MakeFileOfSize(temp_ / "k1025.bin", 1025);
    MakeFileOfSize(temp_ / ".profile", 10);
    MakeFileOfSize(temp_ / "hidden.txt", 5);
    SetFileAttributesA((temp_ / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFileOfSize(temp_ / "system.sys", 5000);
    SetFileAttributesA((temp_ / "system.sys").c_str(), FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryA((temp_ / "sub").c_str(), nullptr);
    CreateDirectoryA((temp_ / ".dotdir").c_str(), nullptr);
    MakeFileOfSize(temp_ / "表示.txt", 3000);

    char path[PATH_SIZE];
    strcpy(path, temp_.path().c_str());
    PromptRecorder prompts;
    InitPane(list_, path);

    EXPECT_TRUE(prompts.calls().empty());
    EXPECT_STREQ(temp_.path().c_str(), path);
    ASSERT_EQ(8, ItemCount(list_));
    EXPECT_EQ(-1, FindItem(list_, ".profile"));
    EXPECT_EQ(-1, FindItem(list_, ".dotdir"));

    struct Row {
        const char* name;
        const char* size;
        bool dated;
        DWORD attributes;
    } rows[] = {
        {"zero.bin", "0KB", true, FILE_ATTRIBUTE_ARCHIVE},
        {"one.bin", "1KB", true, FILE_ATTRIBUTE_ARCHIVE},
        {"k1024.bin", "1KB", true, FILE_ATTRIBUTE_ARCHIVE},
        {"k1025.bin", "2KB", true, FILE_ATTRIBUTE_ARCHIVE},
        {"hidden.txt", "1KB", true, FILE_ATTRIBUTE_HIDDEN},
        {"system.sys", "", false, FILE_ATTRIBUTE_SYSTEM},
        {"sub", "", true, FILE_ATTRIBUTE_DIRECTORY},
        {"表示.txt", "3KB", true, FILE_ATTRIBUTE_ARCHIVE},
    };
    std::vector<bool> indexSeen(8, false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int i = FindItem(list_, row.name);
        ASSERT_GE(i, 0);
        EXPECT_EQ(row.size, ItemText(list_, i, 1));
        EXPECT_FALSE(ItemText(list_, i, 2).empty()) << "type name";
        std::string date = ItemText(list_, i, 3);
        if (row.dated) {
            ASSERT_EQ(16u, date.size()) << date;
            EXPECT_EQ('/', date[4]);
            EXPECT_EQ(':', date[13]);
        } else {
            EXPECT_EQ("", date);
        }
        LPARAM param = ItemParam(list_, i);
        EXPECT_TRUE(ItemAttributes(param) & row.attributes) << std::hex << param;
        int index = (int)((DWORD)param >> 16);
        ASSERT_LT(index, 8);
        EXPECT_FALSE(indexSeen[index]) << "listing indices are unique";
        indexSeen[index] = true;
    }
    // The shell's small icons are attached.
    EXPECT_NE(nullptr, (void*)SendMessageA(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_EQ(gCore->sortList, list_);
}

// Plain folders share one answer of the shell; a folder marked system with a
// "desktop.ini" keeps the icon the shell gives it.
TEST_F(ListingTest, FoldersShowTheShellsIconsMarkedOnesTheirOwn) {
    for (const char* name : {"plain1", "plain2", "marked"})
        CreateDirectoryA((temp_ / name).c_str(), nullptr);
    WriteBytes(temp_ / "marked\\desktop.ini",
               "[.ShellClassInfo]\r\nIconFile=C:\\windows\\system32\\shell32.dll\r\nIconIndex=5\r\n");
    SetFileAttributesA((temp_ / "marked").c_str(), FILE_ATTRIBUTE_SYSTEM);
    char path[PATH_SIZE];
    strcpy(path, temp_.path().c_str());
    InitPane(list_, path);
    auto shown = [&](const char* name) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = FindItem(list_, name);
        SendMessageA(list_, LVM_GETITEMA, 0, (LPARAM)&item);
        return item.iImage;
    };
    auto asked = [&](const char* name) {
        SHFILEINFOA info = {};
        SHGetFileInfoA((temp_ / name).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        return info.iIcon;
    };
    ASSERT_NE(asked("plain1"), asked("marked")) << "the shell reads the marked folder's desktop.ini";
    EXPECT_EQ(asked("plain1"), shown("plain1"));
    EXPECT_EQ(asked("plain2"), shown("plain2"));
    EXPECT_EQ(asked("marked"), shown("marked"));
}

TEST_F(ListingTest, HugeFileSizeUsesAllSixtyFourBits) {
    MakeFileOfSize(temp_ / "big.bin", 5368709120ULL); // sparse
    char path[PATH_SIZE];
    strcpy(path, temp_.path().c_str());
    InitPane(list_, path);
    ASSERT_EQ(1, ItemCount(list_));
    EXPECT_EQ("5242880KB", ItemText(list_, 0, 1));
}

TEST_F(ListingTest, MissingFolderIsReportedThenDriveRootListed) {
    std::string missing = temp_ / "gone\\";
    char path[PATH_SIZE];
    strcpy(path, missing.c_str());
    PromptRecorder prompts;
    ListFolder(list_, path);
    ASSERT_EQ(1u, prompts.calls().size());
    EXPECT_EQ(missing, prompts.calls()[0].text);
    EXPECT_EQ("CurrentDirectry Error", prompts.calls()[0].caption);
    EXPECT_EQ((UINT)MB_OK, prompts.calls()[0].type);
    EXPECT_EQ(nullptr, prompts.calls()[0].owner);
    EXPECT_STREQ("c:\\", path);
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(0, _stricmp("c:\\", current));
    EXPECT_GT(ItemCount(list_), 0);
}

TEST_F(ListingTest, RelativePathsAndMissingSeparatorAreNormalised) {
    CreateDirectoryA((temp_ / "inner").c_str(), nullptr);
    SetCurrentDirectoryA((temp_ / "inner").c_str());
    char path[PATH_SIZE] = "..\\inner";
    PromptRecorder prompts;
    ListFolder(list_, path);
    EXPECT_TRUE(prompts.calls().empty());
    EXPECT_STREQ((temp_ / "inner\\").c_str(), path);
}

TEST_F(ListingTest, ItemWhosePathWouldNotFitIsLeftOut) {
    // A folder path of 240 bytes: a 30-byte name makes a full path past 259.
    std::string folder = temp_.path();
    while (folder.size() < 200) {
        folder += std::string(40, 'd') + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::string last = folder + std::string(239 - folder.size(), 'e') + "\\";
    ASSERT_TRUE(CreateDirectoryA(last.c_str(), nullptr)) << last.size();
    ASSERT_EQ(240u, last.size());
    MakeFileOfSize(last + "short.txt", 1);
    // Two names too long for any path here, made through the form without a limit.
    for (const char* tail : {"n", "m"})
        WriteBytesW(L"\\\\?\\" + Widen(last + std::string(30, *tail)), "x");

    char path[PATH_SIZE];
    strcpy(path, last.c_str());
    PromptRecorder prompts;
    int listed = ListFolder(list_, path);
    EXPECT_GE(FindItem(list_, "short.txt"), 0);
    EXPECT_EQ(-1, FindItem(list_, std::string(30, 'n')));
    EXPECT_EQ(ItemCount(list_), listed);
    EXPECT_EQ(1, listed);
    // The user learns how many entries the list leaves out, once per folder
    // the list comes to: not on a refresh, again after another folder.
    ASSERT_EQ(1u, prompts.calls().size());
    EXPECT_EQ("Path Length Error", prompts.calls()[0].caption);
    EXPECT_EQ(last + "\r\nパスが 259 バイトを超えるため 2 個の項目を表示していません",
              prompts.calls()[0].text);
    ListFolder(list_, path);
    EXPECT_EQ(1u, prompts.calls().size());
    char other[PATH_SIZE];
    strcpy(other, temp_.path().c_str());
    ListFolder(list_, other);
    ListFolder(list_, path);
    EXPECT_EQ(2u, prompts.calls().size());
}
