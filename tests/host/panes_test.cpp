#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "panes/compose_path.h"
#include "panes/item_name.h"
#include "panes/sort_compare.h"

static int Compare(const char* a, unsigned attrA, const char* b, unsigned attrB, int column, int direction) {
    SortKey x, y;
    MakeSortKey(a, attrA, column, &x);
    MakeSortKey(b, attrB, column, &y);
    return CompareSortKeys(x, y, column, direction);
}

static int Sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(SortCompare, TableOfPairs) {
    const unsigned F = 0x10, N = 0x20;
    struct Case {
        const char* a;
        unsigned attrA;
        const char* b;
        unsigned attrB;
        int column, direction, expected;
    } cases[] = {
        // ア (0x83 0x41) and チ (0x83 0x61): trail bytes are never folded.
        {"\x83\x41", N, "\x83\x61", N, 0, 1, -1},
        // Folders first by name ascending, last descending, whatever the names.
        {"zzz", F, "aaa", N, 0, 1, -1},
        {"zzz", F, "aaa", N, 0, 2, 1},
        {"aaa", N, "zzz", F, 0, 1, 1},
        {"b", F, "a", F, 0, 1, 1},
        {"b", F, "a", F, 0, 2, -1},
        // Only the name column knows folders.
        {"zzz", F, "aaa", N, 2, 1, 1},
        // Sizes by number: 1000KB above 999KB, empty is 0, unaffected by direction sign rules.
        {"1000KB", N, "999KB", N, 1, 1, 1},
        {"1000KB", N, "999KB", N, 1, 2, -1},
        {"", F, "0KB", N, 1, 1, 0},
        {"", F, "1KB", N, 1, 1, -1},
        {"5242880KB", N, "999999999KB", N, 1, 1, -1},
        // The first 29 bytes decide.
        {"abcdefghijklmnopqrstuvwxyz123X", N, "abcdefghijklmnopqrstuvwxyz123Y", N, 0, 1, 0},
        {"abcdefghijklmnopqrstuvwxyz12X", N, "abcdefghijklmnopqrstuvwxyz12Y", N, 0, 1, -1},
        // Only A-Z fold.
        {"abc.TXT", N, "ABC.txt", N, 0, 1, 0},
        {"a", N, "B", N, 0, 1, -1},
        {"a", N, "B", N, 0, 2, 1},
        {"[", N, "a", N, 0, 1, -1}, // 0x5B stays below 'a' (0x61)
        {"[", N, "A", N, 0, 1, -1}, // ... and A folds to 0x61, not the other way
        // Shift-JIS bytes compare unsigned: 0x82 (hiragana) above ASCII, katakana 0xB1 above 0x82.
        {"\x82\xA0", N, "z", N, 0, 1, 1},
        {"\xB1", N, "\x82\xA0", N, 0, 1, 1},
        {"\x95\x5C", N, "\x95\x7C", N, 2, 1, -1},
        // Shorter text first.
        {"ab", N, "abc", N, 0, 1, -1},
        // Dates compare in time order; an empty date first.
        {"2025/12/31 23:59", N, "2026/01/01 00:00", N, 3, 1, -1},
        {"", N, "1999/01/01 00:00", N, 3, 1, -1},
        {"2026/01/01 00:00", N, "2026/01/01 00:00", N, 3, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b + " column " + std::to_string(c.column));
        EXPECT_EQ(c.expected, Sign(Compare(c.a, c.attrA, c.b, c.attrB, c.column, c.direction)));
        EXPECT_EQ(-c.expected, Sign(Compare(c.b, c.attrB, c.a, c.attrA, c.column, c.direction)));
    }
}

TEST(SortCompare, KeysKeepTwentyNineBytesAndNumbersOnly) {
    SortKey key;
    MakeSortKey(std::string(40, 'x').c_str(), 0, 0, &key);
    EXPECT_EQ(29u, strlen(key.text));
    MakeSortKey("123KB", 0, 1, &key);
    EXPECT_EQ(123, atoi(key.text));
    MakeSortKey("99999999999999999999999KB", 0, 1, &key); // no overflow
    EXPECT_LT(0, Compare("99999999999999999999999KB", 0, "4294967296KB", 0, 1, 1));
}

// A pane's rows as the sort orders them: folders first by name, the folding
// of names, double-byte names by their bytes, and equal keys in the order
// the rows had (the found order, or the previous column's).
TEST(SortCompare, RowsOfAPane) {
    const unsigned F = 0x10, N = 0x20;
    struct Item {
        const char* name;
        unsigned attributes;
    } items[] = {
        {"b.txt", N},    {"\x95\x5C.txt", N}, {"Zdir", F},  {"B.TXT", N},    {"a.txt", N},
        {"\x83\x41", N}, {"adir", F},         {"A.txt", N}, {"\x83\x61", N},
    };
    const size_t count = sizeof items / sizeof items[0];
    struct Case {
        int direction;
        const char* order; // indexes into items
    } cases[] = {
        {1, "6 2 4 7 0 3 5 8 1"},
        {2, "1 8 5 0 3 4 7 2 6"},
    };
    SortKey keys[count];
    for (size_t i = 0; i < count; i++)
        MakeSortKey(items[i].name, items[i].attributes, 0, &keys[i]);
    for (const Case& c : cases) {
        int rows[count];
        for (size_t i = 0; i < count; i++)
            rows[i] = (int)i;
        SortRows(rows, count, keys, 0, c.direction);
        std::string order;
        for (size_t i = 0; i < count; i++)
            order += (i ? " " : "") + std::to_string(rows[i]);
        EXPECT_EQ(c.order, order) << "direction " << c.direction;
    }
}

static std::string Compose(const char* name, std::string path, ComposeResult expect = COMPOSE_DONE) {
    char buf[260];
    strcpy(buf, path.c_str());
    EXPECT_EQ(expect, ComposePath(name, buf, sizeof buf)) << path << " + " << name;
    return buf;
}

TEST(ComposePath, ParentFolders) {
    EXPECT_EQ("C:\\dir\\", Compose("..", "C:\\dir\\sub\\"));
    EXPECT_EQ("C:\\", Compose("..", "C:\\dir\\"));
    EXPECT_EQ("", Compose("..", "C:\\"));
    EXPECT_EQ("", Compose("..", ""));
    EXPECT_EQ("C:\\", Compose("..", "C:\\d")); // a path without its final separator
    // 表 is 0x95 0x5C: its trail byte is no separator.
    EXPECT_EQ("C:\\", Compose("..", "C:\\\x95\x5Cx\\"));
    EXPECT_EQ("C:\\a\\", Compose("..", "C:\\a\\\x95\x5C"
                                       "b\\"));
    // あ is 0x82 0xA0.
    EXPECT_EQ("C:\\\x82\xA0\\", Compose("..", "C:\\\x82\xA0\\x\\"));
    // Half-width katakana ｱ (0xB1) is a single byte: the separator after it is real.
    EXPECT_EQ("C:\\\xB1\\", Compose("..", "C:\\\xB1\\x\\"));
    EXPECT_EQ("C:\\\x95\x5C\\", Compose("..", "C:\\\x95\x5C\\\xB1\\"));
    EXPECT_EQ("", Compose("..", "x"));
    EXPECT_EQ("C:\\dir\\", Compose("..anything", "C:\\dir\\sub\\"));
}

TEST(ComposePath, NamesDotsAndDrives) {
    EXPECT_EQ("C:\\sub\\", Compose("sub", "C:\\"));
    EXPECT_EQ("C:\\dir\\", Compose(".hidden", "C:\\dir\\"));
    EXPECT_EQ("D:\\", Compose("ローカル ディスク (D:)", ""));
    EXPECT_EQ("Z:\\", Compose(" (Z:)", ""));
    EXPECT_EQ("", Compose("Music", "", COMPOSE_NOT_DRIVE));
    EXPECT_EQ("", Compose("(d:)", "", COMPOSE_NOT_DRIVE));
    EXPECT_EQ("", Compose("ab", "", COMPOSE_NOT_DRIVE));
    EXPECT_EQ("", Compose("", "", COMPOSE_NOT_DRIVE));
    EXPECT_EQ(0, DriveLetterOfDisplayName("X:)"));
    EXPECT_EQ('C', DriveLetterOfDisplayName("(C:)"));
}

TEST(ComposePath, LengthLimit) {
    std::string folder = "C:\\" + std::string(250, 'a') + "\\";    // 254 bytes
    EXPECT_EQ(folder + "abcd\\", Compose("abcd", folder));         // 259 bytes fit
    EXPECT_EQ(folder, Compose("abcde", folder, COMPOSE_TOO_LONG)); // 260 would not
}

TEST(ItemName, RefusesSeparatorsAndWildcardsButNotTrailBytes) {
    EXPECT_TRUE(IsValidItemName("report.txt"));
    EXPECT_TRUE(IsValidItemName("\x95\x5C.txt")); // 表.txt: its 0x5C is a trail byte
    EXPECT_TRUE(IsValidItemName("\x83\x7C"));     // ポ: trail byte 0x7C is not "|"
    EXPECT_TRUE(IsValidItemName("\xB1\xB2"));
    for (const char* bad : {"", "a\\b", "a/b", "c:x", "a*", "a?", "a\"b", "<a", "a>", "a|b", "\x95", "a\tb"})
        EXPECT_FALSE(IsValidItemName(bad)) << bad;
}
