#include <gtest/gtest.h>

#include <string>

#include "fileops/walk_paths.h"

TEST(WalkPaths, ChildPathBoundsAndRoots) {
    char out[260];
    EXPECT_EQ(1, ChildPath(out, sizeof out, "C:\\a", "b.txt"));
    EXPECT_STREQ("C:\\a\\b.txt", out);
    // A root keeps its one "\": no "C:\\x".
    EXPECT_EQ(1, ChildPath(out, sizeof out, "C:\\", "x"));
    EXPECT_STREQ("C:\\x", out);

    std::string folder = "C:\\" + std::string(250, 'f');               // 253 bytes
    EXPECT_EQ(1, ChildPath(out, sizeof out, folder.c_str(), "12345")); // 253 + 1 + 5 = 259
    EXPECT_EQ(259u, std::string(out).size());
    EXPECT_EQ(0, ChildPath(out, sizeof out, folder.c_str(), "123456")); // 260: one too many
    EXPECT_STREQ("", out);
    // A buffer smaller than the limit is never overrun either.
    char small[8];
    EXPECT_EQ(0, ChildPath(small, sizeof small, "C:\\abc", "defg"));
    EXPECT_STREQ("", small);
}

TEST(WalkPaths, ChildPathAfterDoubleByteTrail5C) {
    // "ソ" is 0x83 0x5C: its trail byte is not a separator, so one is added.
    char out[260];
    EXPECT_EQ(1, ChildPath(out, sizeof out, "C:\\\x83\x5C", "a"));
    EXPECT_STREQ("C:\\\x83\x5C\\a", out);
    char trimmed[] = "C:\\\x83\x5C";
    TrimFolderPath(trimmed);
    EXPECT_STREQ("C:\\\x83\x5C", trimmed);
}

TEST(WalkPaths, ItemPathLimitsForRecycleBin) {
    char out[261];
    std::string folder = "C:\\" + std::string(250, 'f') + "\\";                         // 254 bytes
    EXPECT_EQ(1, ItemPath(out, sizeof out, folder.c_str(), "abcd", RECYCLE_PATH_MAX));  // 258
    EXPECT_EQ(0, ItemPath(out, sizeof out, folder.c_str(), "abcde", RECYCLE_PATH_MAX)); // 259 + second NUL
    EXPECT_EQ(1, ItemPath(out, sizeof out, folder.c_str(), "abcde", WALK_PATH_MAX));
    EXPECT_EQ(0, ItemPath(out, sizeof out, folder.c_str(), "abcdef", WALK_PATH_MAX));
}

TEST(WalkPaths, TrimKeepsRoots) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {{"C:\\a\\", "C:\\a"}, {"C:\\a", "C:\\a"}, {"C:\\", "C:\\"}, {"\\", "\\"}, {"", ""}};
    for (auto& c : cases) {
        char path[32];
        snprintf(path, sizeof path, "%s", c.in);
        TrimFolderPath(path);
        EXPECT_STREQ(c.out, path) << c.in;
    }
    char pattern[260];
    EXPECT_EQ(1, SearchPattern(pattern, sizeof pattern, "C:\\"));
    EXPECT_STREQ("C:\\*.*", pattern);
    EXPECT_EQ(1, SearchPattern(pattern, sizeof pattern, "C:\\a"));
    EXPECT_STREQ("C:\\a\\*.*", pattern);
}

TEST(WalkPaths, InsideTest) {
    struct {
        const char* outer;
        const char* inner;
        int inside;
    } cases[] = {
        {"C:\\a\\", "C:\\a\\b\\", 1},
        {"C:\\a", "C:\\a\\b\\c", 1},
        {"c:\\A\\", "C:\\a\\B", 1}, // A-Z folded
        {"C:\\a\\", "C:\\ab\\", 0}, // a sibling that shares the first letters
        {"C:\\a\\", "C:\\a\\", 0},  // the same folder is not inside
        {"C:\\a\\b", "C:\\a", 0},   // the parent is not inside the child
        {"C:\\", "C:\\x", 1},       // everything is inside its root
        {"C:\\", "D:\\x", 0},
        {"", "C:\\x", 0},
        // Double-byte names: trail bytes compared exactly, never folded.
        {"C:\\\x83\x41", "C:\\\x83\x41\\x", 1},
        {"C:\\\x83\x41", "C:\\\x83\x61\\x", 0},
        // "ソ" (0x83 0x5C) is one character, not "0x83" and a separator.
        {"C:\\\x83", "C:\\\x83\x5C\\x", 0},
        {"C:\\\x83\x5C", "C:\\\x83\x5C\\x", 1},
        // Letters beyond A-Z are not folded.
        {"C:\\\xB1", "C:\\\xB2\\x", 0},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.inside, IsStrictlyInside(c.outer, c.inner)) << c.outer << " / " << c.inner;
    // The same or inside: the same folder counts, whatever its trailing "\\" and case.
    EXPECT_EQ(1, IsSameOrInside("C:\\a\\", "c:\\A"));
    EXPECT_EQ(1, IsSameOrInside("C:\\a", "C:\\a\\b"));
    EXPECT_EQ(0, IsSameOrInside("C:\\a", "C:\\ab"));
    EXPECT_EQ(0, IsSameOrInside("C:\\a\\b", "C:\\a"));
    EXPECT_EQ(0, IsSameOrInside("", ""));
}

TEST(WalkPaths, NameOfPath) {
    EXPECT_STREQ("report.txt", NameOfPath("C:\\data\\report.txt"));
    EXPECT_STREQ("report.txt", NameOfPath("A:report.txt"));
    EXPECT_STREQ("", NameOfPath("C:\\"));
    EXPECT_STREQ("plain", NameOfPath("plain"));
    // The trail byte 0x5C of "表" (0x95 0x5C) is part of the name.
    EXPECT_STREQ("\x95\x5C.txt", NameOfPath("C:\\d\\\x95\x5C.txt"));
}

// Walks pass over the folder's own entries only, and know a copy's left-over
// temporary file from a user's file of a like name.
TEST(WalkPaths, SelfEntriesAndOwnTemporaries) {
    for (const char* name : {".", ".."})
        EXPECT_TRUE(IsFolderSelfEntry(name)) << name;
    for (const char* name : {".git", "...", ".gitignore", "..x", ""})
        EXPECT_FALSE(IsFolderSelfEntry(name)) << name;
    for (const char* name : {".~bk1.tmp", ".~bk3f2a0000001c.tmp", ".~bkff.tmp", ".~bk0"})
        EXPECT_TRUE(IsOwnTemporaryName(name)) << name;
    for (const char* name : {".~bk.tmp", ".~bk1.tmp.txt", ".~bk12g.tmp", ".~bkABC.tmp",
                             ".~bk1234567890abc.tmp", "~bk1.tmp", ".~1", ".~bk1.TMP", "x.~bk1.tmp", ".~bk"})
        EXPECT_FALSE(IsOwnTemporaryName(name)) << name;
}
