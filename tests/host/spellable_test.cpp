#include <gtest/gtest.h>

#include "base/spellable.h"

// Names the code page has every character of: the ANSI calls reach them.
TEST(Spellable, NamesOfTheCodePage) {
    EXPECT_TRUE(IsSpellable(u"cafe.txt"));
    EXPECT_TRUE(IsSpellable(u"README"));
    EXPECT_TRUE(IsSpellable(u"表示.txt"));
    EXPECT_TRUE(IsSpellable(u"ｱｲｳ"));
    EXPECT_TRUE(IsSpellable(u"ﾃﾞｰﾀ ﾌｧｲﾙ.dat"));
    EXPECT_TRUE(IsSpellable(u"ソース")); // a trail byte 0x5C
    EXPECT_TRUE(IsSpellable(u"コピー ～ a.txt"));
    EXPECT_TRUE(IsSpellable(u""));
}

// The compiler turns only the code page's characters into literals, so the
// others are written as their UTF-16 units: caf\xe9 is "café", \xd83d\xde00
// "😀", \xd55c\xad6d "한국".
// Names the code page lacks a character of: best-fit ("é" as "e") must not
// pass, nor "?" for what has no form at all.
TEST(Spellable, NamesTheCodePageCannotSpell) {
    EXPECT_FALSE(IsSpellable(u"caf\xe9.txt"));
    EXPECT_FALSE(IsSpellable(u"\xd83d\xde00.txt"));
    EXPECT_FALSE(IsSpellable(u"\xd55c\xad6d.txt"));
    EXPECT_FALSE(IsSpellable(u"表示\xe9"));
    EXPECT_FALSE(IsSpellable(u"ｱｲｳ\xd55c"));
    const char16_t lone[] = {u'a', 0xD83D, u'.', u't', 0}; // half a surrogate pair
    EXPECT_FALSE(IsSpellable(lone));
}

// Names the platform reads as other names, by the path rules alone.
TEST(Spellable, NamesThePlatformReadsAsOthers) {
    struct {
        const char16_t* name;
        NameReach reach;
    } cases[] = {
        {u"dot.txt", NAME_REACHES},
        {u".profile", NAME_REACHES},
        {u"a b", NAME_REACHES},
        {u"ソース", NAME_REACHES},
        {u".", NAME_REACHES},
        {u"..", NAME_REACHES},
        {u"dot.", NAME_NEEDS_EXACT_PATH},
        {u"sp ", NAME_NEEDS_EXACT_PATH},
        {u"...", NAME_NEEDS_EXACT_PATH},
        {u"a. ", NAME_NEEDS_EXACT_PATH},
        {u"\xd55c.", NAME_NEEDS_EXACT_PATH},
        {u"nul.txt", NAME_NEEDS_EXACT_PATH},
        {u"con", NAME_NEEDS_EXACT_PATH},
        {u"AUX.log", NAME_NEEDS_EXACT_PATH},
        {u"com1.txt", NAME_NEEDS_EXACT_PATH},
        {u"Lpt9", NAME_NEEDS_EXACT_PATH},
        {u"nul .tar.gz", NAME_NEEDS_EXACT_PATH},
        {u"conout$", NAME_NEEDS_EXACT_PATH},
        {u"null.txt", NAME_REACHES},
        {u"com10", NAME_REACHES},
        {u"console", NAME_REACHES},
        {u"xnul", NAME_REACHES},
        {u"com.txt", NAME_REACHES},
        {u".nul", NAME_REACHES},
        {u"a\\b", NAME_UNREACHABLE},
        {u"a/b", NAME_UNREACHABLE},
        {u"c:d", NAME_UNREACHABLE},
        {u"st*r", NAME_UNREACHABLE},
        {u"qm?", NAME_UNREACHABLE},
        {u"q\"x", NAME_UNREACHABLE},
        {u"lt<", NAME_UNREACHABLE},
        {u"gt>", NAME_UNREACHABLE},
        {u"pipe|", NAME_UNREACHABLE},
        {u"tab\tx", NAME_UNREACHABLE},
        {u"end.\\", NAME_UNREACHABLE},
    };
    int row = 0;
    for (const auto& c : cases)
        EXPECT_EQ(c.reach, ReachOfName(c.name)) << "case " << row++;
}
