#include <gtest/gtest.h>
#include <string.h>

#include "app/idle_keys.h"
#include "app/layout.h"
#include "assoc/open_rules.h"
#include "exchange/file_list.h"
#include "fileops/walk_paths.h"
#include "base/cp932.h"
#include "base/text_buffer.h"
#include "panes/list_text.h"

TEST(TextBuffer, CopyAndAppendRefuseWhatWouldNotFit) {
    char buf[8] = "abc";
    EXPECT_EQ(1, AppendText(buf, sizeof buf, "defg")); // exactly 7 + NUL
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_EQ(0, AppendText(buf, sizeof buf, "h"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_EQ(0, CopyText(buf, sizeof buf, "12345678"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_EQ(1, CopyText(buf, sizeof buf, ""));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(0, CopyText(buf, 0, ""));
}

TEST(TextBuffer, JoinPathChecksTheWholeLength) {
    char buf[260];
    std::string folder(250, 'a');
    EXPECT_EQ(1, JoinPath(buf, sizeof buf, folder.c_str(), "123456789")); // 259 bytes
    EXPECT_EQ(259u, strlen(buf));
    strcpy(buf, "untouched");
    EXPECT_EQ(0, JoinPath(buf, sizeof buf, folder.c_str(), "1234567890"));
    EXPECT_STREQ("untouched", buf);
}

TEST(TextBuffer, FormatTextRefusesOverlongResults) {
    char buf[6];
    EXPECT_EQ(1, FormatText(buf, sizeof buf, "%d", 12345));
    EXPECT_STREQ("12345", buf);
    EXPECT_EQ(0, FormatText(buf, sizeof buf, "%d", 123456));
    EXPECT_STREQ("12345", buf);
}

TEST(Cp932, TrailBytesAreNotSeparators) {
    // "表" is 0x95 0x5C: its trail byte is the separator's value.
    EXPECT_EQ(-1, FindLastSeparator("\x95\x5C"));
    EXPECT_EQ(2, FindLastSeparator("c:\\\x95\x5C"));
    EXPECT_FALSE(EndsWithSeparator("c:\\\x95\x5C"));
    EXPECT_TRUE(EndsWithSeparator("c:\\\x95\x5C\\"));
    // Half-width katakana (0xA1-0xDF) are single bytes.
    EXPECT_TRUE(EndsWithSeparator("c:\\\xB1\\"));
    EXPECT_EQ(0, IsLeadByte932(0xA1));
    EXPECT_EQ(1, IsLeadByte932(0x81));
    EXPECT_EQ(1, IsLeadByte932(0xFC));
    EXPECT_EQ(0, IsLeadByte932(0x80));
    // A lead byte at the very end must not read past the NUL.
    EXPECT_EQ(2, FindLastSeparator("c:\\\x95"));
}

TEST(Cp932, EnsureTrailingSeparator) {
    char buf[260] = "c:\\windows";
    EXPECT_EQ(1, EnsureTrailingSeparator(buf, sizeof buf));
    EXPECT_STREQ("c:\\windows\\", buf);
    EXPECT_EQ(1, EnsureTrailingSeparator(buf, sizeof buf));
    EXPECT_STREQ("c:\\windows\\", buf);
    strcpy(buf, "c:\\\x95\x5C");
    EXPECT_EQ(1, EnsureTrailingSeparator(buf, sizeof buf));
    EXPECT_STREQ("c:\\\x95\x5C\\", buf);
    buf[0] = '\0';
    EXPECT_EQ(1, EnsureTrailingSeparator(buf, sizeof buf));
    EXPECT_STREQ("", buf); // the My Computer view stays empty
    char tight[4] = "c:x";
    EXPECT_EQ(0, EnsureTrailingSeparator(tight, sizeof tight));
    EXPECT_STREQ("c:x", tight);
}

TEST(ListText, SizesRoundUpToKilobytes) {
    char buf[32];
    struct {
        unsigned long long bytes;
        const char* text;
    } cases[] = {{0, "0KB"},
                 {1, "1KB"},
                 {1024, "1KB"},
                 {1025, "2KB"},
                 {5368709120ULL, "5242880KB"},
                 {1ULL << 42, "4294967296KB"}};
    for (auto& c : cases) {
        ASSERT_EQ(1, FormatSizeText(buf, sizeof buf, c.bytes));
        EXPECT_STREQ(c.text, buf) << c.bytes;
    }
}

TEST(ListText, DateHasNoSeconds) {
    char buf[32];
    ASSERT_EQ(1, FormatDateText(buf, sizeof buf, 2026, 3, 7, 9, 5));
    EXPECT_STREQ("2026/03/07 09:05", buf);
    EXPECT_EQ(0, FormatDateText(buf, 10, 2026, 3, 7, 9, 5));
}

static void ExpectRect(const ControlRect& r, int x, int y, int w, int h) {
    EXPECT_EQ(x, r.x);
    EXPECT_EQ(y, r.y);
    EXPECT_EQ(w, r.width);
    EXPECT_EQ(h, r.height);
}

TEST(Layout, EvenWidthLinesUpTheControls) {
    MainLayout l = ComputeLayout(960, 500);
    ExpectRect(l.toolbarHost, 365, 2, 230, 28);
    ExpectRect(l.leftPath, 3, 2, 362, 26);
    ExpectRect(l.rightPath, 595, 2, 362, 26);
    ExpectRect(l.leftList, 2, 30, 477, 450);
    ExpectRect(l.rightList, 480, 30, 477, 450);
    EXPECT_EQ(480, l.statusSplit);
    // The left path box ends where the host begins; the right one stops 3 px short.
    EXPECT_EQ(l.toolbarHost.x, l.leftPath.x + l.leftPath.width);
    EXPECT_EQ(960 - 3, l.rightPath.x + l.rightPath.width);
    EXPECT_EQ(l.statusSplit - 1, l.leftList.x + l.leftList.width);
}

TEST(Layout, NarrowAndEmptySizesPassNegativeWidthsOn) {
    MainLayout l = ComputeLayout(236, 60);
    EXPECT_EQ(0, l.leftPath.width);
    EXPECT_EQ(0, l.rightPath.width);
    EXPECT_EQ(10, l.leftList.height);
    l = ComputeLayout(0, 0);
    ExpectRect(l.toolbarHost, -115, 2, 230, 28);
    EXPECT_EQ(-118, l.leftPath.width); // (0 - 236) / 2
    EXPECT_EQ(-3, l.leftList.width);   // (0 - 6) / 2 truncates toward zero
    EXPECT_EQ(-50, l.leftList.height);
    EXPECT_EQ(0, l.statusSplit);
}

TEST(Layout, OddWidthsTruncate) {
    MainLayout l = ComputeLayout(961, 100);
    EXPECT_EQ(480, l.statusSplit);
    EXPECT_EQ(362, l.leftPath.width); // 725 / 2
    EXPECT_EQ(477, l.leftList.width); // 955 / 2
    EXPECT_EQ(595, l.rightPath.x);
    l = ComputeLayout(235, 100);
    EXPECT_EQ(0, l.leftPath.width); // -1 / 2 is 0, not -1
    EXPECT_EQ(117, l.statusSplit);
}

TEST(IdleKeys, EscWinsAndEditingGuardsDelete) {
    unsigned char keys[256] = {};
    EXPECT_EQ(IDLE_NOTHING, DecideIdleAction(keys, 0));
    keys[0x2E] = 0x80;
    EXPECT_EQ(IDLE_DELETE, DecideIdleAction(keys, 0));
    EXPECT_EQ(IDLE_NOTHING, DecideIdleAction(keys, 1));
    keys[0x1B] = 0x80;
    EXPECT_EQ(IDLE_CANCEL, DecideIdleAction(keys, 0));
    EXPECT_EQ(IDLE_CANCEL, DecideIdleAction(keys, 1));
    // The toggle bit alone is not "down"; any high bit is.
    keys[0x1B] = 0x01;
    keys[0x2E] = 0x01;
    EXPECT_EQ(IDLE_NOTHING, DecideIdleAction(keys, 0));
    keys[0x2E] = 0x10;
    EXPECT_EQ(IDLE_DELETE, DecideIdleAction(keys, 0));
}

// "ア" is 0x83 0x41 and "チ" 0x83 0x61: their trail bytes are the letters
// "A" and "a". Only characters of their own fold, so every comparison that
// ignores case keeps them apart.
TEST(Cp932, OnlyAsciiLettersFoldNeverTrailBytes) {
    struct {
        const char* a;
        const char* b;
        int same;
    } cases[] = {
        {"C:\\DATA\\", "c:\\data\\", 1},
        {"\x83\x41", "\x83\x61", 0},             // ア / チ
        {"C:\\\x83\x41\\", "c:\\\x83\x41\\", 1}, // the letters around them still fold
        {"\xE9", "\xC9", 0},                     // beyond A-Z nothing folds
        {"\x83", "\x83\x5C", 0},                 // a cut character is not the whole one
        {"abc", "ab", 0},
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.same, CompareFolded932(c.a, c.b) == 0) << c.a << " / " << c.b;
        EXPECT_EQ(c.same, CompareFolded932(c.b, c.a) == 0) << c.b << " / " << c.a;
        EXPECT_EQ(c.same, IsSameFolderText(c.a, c.b)) << "paste's same-folder test: " << c.a;
    }
    // Order: unsigned bytes, letters as lower case ("_" 0x5F before "a").
    EXPECT_LT(CompareFolded932("_x", "Ax"), 0);
    EXPECT_LT(CompareFolded932("\x83\x41", "\x83\x61"), 0);
    // Into-itself: a folder named チ is not inside one named ア.
    EXPECT_EQ(0, IsStrictlyInside("C:\\\x83\x41", "C:\\\x83\x61\\x"));
    EXPECT_EQ(1, IsStrictlyInside("C:\\\x83\x41", "c:\\\x83\x41\\x"));
    // The extension lookup: a rule for ".ア" does not open ".チ" files.
    ExtensionRule rules[1] = {};
    memcpy(rules[0].extension, "\x83\x41", 2);
    EXPECT_EQ(0, FindRule(rules, 1, "\x83\x41"));
    EXPECT_EQ(-1, FindRule(rules, 1, "\x83\x61"));
}

TEST(Cp932, WholeCharacters) {
    EXPECT_EQ(2u, CharLength932("\x95\x5C"));
    EXPECT_EQ(1u, CharLength932("\x95")); // cut off by the end
    EXPECT_EQ(1u, CharLength932("\xB1")); // half-width katakana
    EXPECT_EQ(0u, CharLength932(""));
    EXPECT_EQ(1, EndsInCutCharacter932("ab\x95"));
    EXPECT_EQ(0, EndsInCutCharacter932("ab\x95\x5C"));
    EXPECT_EQ(0, EndsInCutCharacter932("\x95\x95\x95\x5C")) << "the second 0x95 is a trail byte";
    EXPECT_EQ(1u, WholeCharacters932("a\x95\x5C", 2)) << "never half a character";
    EXPECT_EQ(3u, WholeCharacters932("a\x95\x5C", 3));
    EXPECT_EQ(3u, WholeCharacters932("a\x95\x5C", 10));
}
