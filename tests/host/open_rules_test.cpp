#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "assoc/open_rules.h"
#include "panes/id_lists.h"

static std::string Extension(const char* name) {
    char ext[260];
    FileExtension(name, ext, sizeof ext);
    return ext;
}

TEST(OpenRules, Extensions) {
    EXPECT_EQ("JPG", Extension("photo.JPG"));
    EXPECT_EQ("gz", Extension("archive.tar.gz"));
    EXPECT_EQ("", Extension("README"));
    EXPECT_EQ("", Extension("name."));
    EXPECT_EQ("", Extension(".profile"));
    EXPECT_EQ("rc", Extension(".bash.rc"));
    EXPECT_EQ("backup12", Extension("old.backup12"));
    EXPECT_EQ("", Extension(""));
}

static ExtensionRule Rule(const char* ext, int tool, int alternate) {
    ExtensionRule rule = {};
    strncpy(rule.extension, ext, sizeof rule.extension - 1);
    rule.tool = tool;
    rule.alternateTool = alternate;
    return rule;
}

TEST(OpenRules, RuleSearch) {
    std::vector<ExtensionRule> rules = {Rule("jpg", 1, 0),     Rule("txt", 2, 0), Rule("JPG", 3, 0),
                                        Rule("backup1", 4, 0), Rule("*", 5, 0),   Rule("gz", 6, 0)};
    int n = (int)rules.size();
    EXPECT_EQ(0, FindRule(rules.data(), n, "JPG")) << "A-Z folded; the first of two records wins";
    EXPECT_EQ(1, FindRule(rules.data(), n, "TxT"));
    EXPECT_EQ(4, FindRule(rules.data(), n, "gz")) << "nothing after the catch-all is reached";
    EXPECT_EQ(4, FindRule(rules.data(), n, "")) << "no extension ends at the catch-all";
    EXPECT_EQ(4, FindRule(rules.data(), n, "backup12")) << "compared whole, not cut to 7";
    EXPECT_EQ(3, FindRule(rules.data(), n, "backup1"));
    // Only A-Z fold: "\xE9" (a code page byte) and "\xC9" stay different.
    std::vector<ExtensionRule> bytes = {Rule("\xE9x", 1, 0)};
    EXPECT_EQ(-1, FindRule(bytes.data(), 1, "\xC9x"));
    // No catch-all, or no rules at all (missing data file): nothing, and the
    // search stops at the count.
    std::vector<ExtensionRule> noCatchAll = {Rule("txt", 1, 0), Rule("doc", 2, 0), Rule("*", 3, 0)};
    EXPECT_EQ(-1, FindRule(noCatchAll.data(), 2, "pdf"));
    EXPECT_EQ(-1, FindRule(nullptr, 0, "txt"));
}

TEST(OpenRules, ToolSlots) {
    char table[TOOL_SLOT_COUNT][TOOL_SLOT_SIZE] = {};
    strcpy(table[0], "C:\\WINDOWS\\NOTEPAD.EXE ");
    EXPECT_STREQ(table[0], ToolText(table, 2, 0));
    EXPECT_EQ(nullptr, ToolText(table, 2, 1)) << "an empty slot";
    EXPECT_EQ(nullptr, ToolText(table, 2, 2)) << "past the count";
    EXPECT_EQ(nullptr, ToolText(table, 2, -1));
    EXPECT_EQ(nullptr, ToolText(table, 99, 20)) << "past the table";
}

TEST(OpenRules, CommandLineBytes) {
    char line[COMMAND_LINE_SIZE];
    ASSERT_EQ(1, BuildCommandLine(line, sizeof line, "C:\\WINDOWS\\NOTEPAD.EXE ", "C:\\dir\\", "a b.txt"));
    EXPECT_STREQ("C:\\WINDOWS\\NOTEPAD.EXE \"C:\\dir\\a b.txt\"", line);
    EXPECT_EQ(39u, strlen(line));
    // The longest tool text with a 259-byte path fits the buffer whole.
    std::string tool(TOOL_SLOT_SIZE - 1, 't');
    std::string folder = "C:\\" + std::string(250, 'f') + "\\";
    std::string name(5, 'n');
    ASSERT_EQ(1, BuildCommandLine(line, sizeof line, tool.c_str(), folder.c_str(), name.c_str()));
    EXPECT_EQ(tool + "\"" + folder + name + "\"", line);
    char small[40];
    EXPECT_EQ(0, BuildCommandLine(small, sizeof small, "C:\\WINDOWS\\NOTEPAD.EXE ", "C:\\dir\\", "ab b.txt"));
    EXPECT_STREQ("", small);
    // A quote in the path can't be quoted whole: no command line at all.
    EXPECT_EQ(0, BuildCommandLine(line, sizeof line, "C:\\bin\\x.exe ", "C:\\dir\\", "q\"x.txt"));
    EXPECT_EQ(0, BuildCommandLine(line, sizeof line, "C:\\bin\\x.exe ", "C:\\d\"r\\", "x.txt"));

    char program[TOOL_SLOT_SIZE];
    ASSERT_EQ(1, ToolProgramPath("C:\\Program Files\\WZ EDITOR\\wz_main.exe ", program, sizeof program));
    EXPECT_STREQ("C:\\Program Files\\WZ EDITOR\\wz_main.exe", program);
    EXPECT_EQ(0, ToolProgramPath(" ", program, sizeof program));

    // The program word: up to the first blank, or inside leading quotes.
    struct {
        const char* tool;
        const char* word;      // null: none
        int hasPath, absolute; // a relative path is read from the current folder
    } words[] = {
        {"notepad.exe ", "notepad.exe", 0, 0},
        {"rundll32.exe shimgvw.dll,ImageView_Fullscreen ", "rundll32.exe", 0, 0},
        {"C:\\Program Files\\WZ EDITOR\\wz_main.exe ", "C:\\Program", 1, 1},
        {"\"C:\\Program Files\\x.exe\" /s ", "C:\\Program Files\\x.exe", 1, 1},
        {"\"unclosed.exe ", nullptr, 0, 0},
        {"bin\\x.exe /a ", "bin\\x.exe", 1, 0},
        {"C:x.exe ", "C:x.exe", 1, 0},
        {"\\\\srv\\t\\x.exe ", "\\\\srv\\t\\x.exe", 1, 1},
        {"\x95\\\\t.exe /a ", "\x95\\\\t.exe", 1, 0}, // a trail byte 0x5C, then a separator
        {"\x95\\t.exe /a ", "\x95\\t.exe", 0, 0},
        {"   ", nullptr, 0, 0},
    };
    for (const auto& row : words) {
        char word[TOOL_SLOT_SIZE];
        EXPECT_EQ(row.word != nullptr, ToolProgramWord(row.tool, word, sizeof word)) << row.tool;
        EXPECT_STREQ(row.word ? row.word : "", word) << row.tool;
        EXPECT_EQ(row.hasPath, HasPathPart(word)) << row.tool;
        EXPECT_EQ(row.absolute, IsAbsolutePath(word)) << row.tool;
    }
}

TEST(IdLists, SizesAndJoin) {
    const unsigned char first[] = {4, 0, 'a', 'b', 3, 0, 'c', 0, 0}; // two items, 7 bytes + 2
    const unsigned char second[] = {5, 0, 'x', 'y', 'z', 0, 0};      // one item, 5 + 2
    const unsigned char empty[] = {0, 0};
    EXPECT_EQ(0u, IdListSize(nullptr));
    EXPECT_EQ(2u, IdListSize(empty));
    EXPECT_EQ(9u, IdListSize(first));
    EXPECT_EQ(7u, IdListSize(second));
    ASSERT_EQ(14u, JoinedIdListSize(first, second));
    unsigned char joined[14];
    JoinIdListsInto(joined, first, second);
    const unsigned char expected[] = {4, 0, 'a', 'b', 3, 0, 'c', 5, 0, 'x', 'y', 'z', 0, 0};
    EXPECT_EQ(0, memcmp(expected, joined, sizeof expected));
    EXPECT_EQ(14u, IdListSize(joined));
    // No first list: the second alone.
    EXPECT_EQ(7u, JoinedIdListSize(nullptr, second));
    unsigned char alone[7];
    JoinIdListsInto(alone, nullptr, second);
    EXPECT_EQ(0, memcmp(second, alone, 7));
}
