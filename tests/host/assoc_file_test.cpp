#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <memory>
#include <string>

#include "assoc/assoc_file.h"

namespace {

// A line as a text editor writes it: 78 columns and CR LF.
std::string Line(const std::string& text) {
    EXPECT_LE(text.size(), 78u);
    return text + std::string(78 - text.size(), ' ') + "\r\n";
}

// A raw 80-byte record, padded with blanks and without a line end.
std::string Raw(const std::string& text) {
    EXPECT_LE(text.size(), 80u);
    return text + std::string(80 - text.size(), ' ');
}

std::string At(size_t offset, const std::string& text) {
    return std::string(offset, ' ') + text;
}

// "ext", tool at 19 and alternate at 23, the way the sample file aligns them.
std::string RuleLine(const std::string& ext, int tool, int alternate) {
    std::string s = ext + std::string(19 - ext.size(), ' ') + std::to_string(tool);
    return Line(s + std::string(23 - s.size(), ' ') + std::to_string(alternate));
}

std::string SampleFile() {
    return Line("/ Brennik association data") + Line("3   4") + Line("C:\\WINDOWS\\NOTEPAD.EXE") +
           Line("C:\\Program Files\\WZ EDITOR\\wz_main.exe") +
           Line("C:\\Program Files\\Adobe\\Photoshop 6.0\\Photoshop.exe") + RuleLine("txt", 1, 0) +
           RuleLine("jpg", 2, 0) + RuleLine("bmp", 2, 0) + RuleLine("*", 0, 0);
}

// The tables are allocated at exactly their size so that AddressSanitizer sees any overrun.
class AssocFile : public ::testing::Test {
  protected:
    std::unique_ptr<char[][TOOL_SLOT_SIZE]> tools{new char[TOOL_SLOT_COUNT][TOOL_SLOT_SIZE]()};
    std::unique_ptr<ExtensionRule[]> rules{new ExtensionRule[EXTENSION_RULE_COUNT]()};
    int toolCount = 0;
    int ruleCount = 0;

    void Parse(const std::string& file) { Parse(file.data(), file.size()); }
    void Parse(const char* data, size_t size) {
        // Zeroed as the caller does; the counts keep a mark so that one left unwritten shows.
        memset(tools.get(), 0, TOOL_SLOT_COUNT * TOOL_SLOT_SIZE);
        memset(rules.get(), 0, EXTENSION_RULE_COUNT * sizeof(ExtensionRule));
        toolCount = ruleCount = -1;
        ParseAssociations(data, size, AssocTables{tools.get(), rules.get(), &toolCount, &ruleCount});
    }

    // Compares the whole slot, so that nothing may follow the text's NUL.
    void ExpectSlot(int k, const std::string& text) {
        char expected[TOOL_SLOT_SIZE] = {};
        ASSERT_LT(text.size(), sizeof expected);
        memcpy(expected, text.data(), text.size());
        EXPECT_EQ(0, memcmp(expected, tools[k], sizeof expected))
            << "slot " << k << " holds \"" << std::string(tools[k], strnlen(tools[k], TOOL_SLOT_SIZE))
            << "\"";
    }

    void ExpectRule(int k, const std::string& ext, int tool, int alternate) {
        char expected[EXTENSION_SIZE] = {};
        ASSERT_LT(ext.size(), sizeof expected);
        memcpy(expected, ext.data(), ext.size());
        EXPECT_EQ(0, memcmp(expected, rules[k].extension, sizeof expected))
            << "rule " << k << " has \"" << std::string(rules[k].extension, strnlen(rules[k].extension, 16))
            << "\"";
        EXPECT_EQ(tool, rules[k].tool) << "rule " << k;
        EXPECT_EQ(alternate, rules[k].alternateTool) << "rule " << k;
    }

    void ExpectEmptyFrom(int firstTool, int firstRule) {
        for (int k = firstTool; k < TOOL_SLOT_COUNT; k++)
            ExpectSlot(k, "");
        for (int k = firstRule; k < EXTENSION_RULE_COUNT; k++)
            ExpectRule(k, "", 0, 0);
    }
};

TEST_F(AssocFile, SampleFileFillsEveryEntry) {
    Parse(SampleFile());
    EXPECT_EQ(3, toolCount);
    EXPECT_EQ(4, ruleCount);
    ExpectSlot(0, "C:\\WINDOWS\\NOTEPAD.EXE ");
    ExpectSlot(1, "C:\\Program Files\\WZ EDITOR\\wz_main.exe ");
    ExpectSlot(2, "C:\\Program Files\\Adobe\\Photoshop 6.0\\Photoshop.exe ");
    ExpectRule(0, "txt", 1, 0);
    ExpectRule(1, "jpg", 2, 0);
    ExpectRule(2, "bmp", 2, 0);
    ExpectRule(3, "*", 0, 0);
    ExpectEmptyFrom(3, 4);
}

TEST_F(AssocFile, CommentRecordsAreOptionalAndOnlyLeadTheFile) {
    std::string file = SampleFile();
    Parse(file.substr(80));
    EXPECT_EQ(3, toolCount);
    EXPECT_EQ(4, ruleCount);
    ExpectSlot(2, "C:\\Program Files\\Adobe\\Photoshop 6.0\\Photoshop.exe ");
    ExpectRule(3, "*", 0, 0);

    // Several comments; after the header a "/" record is an ordinary tool or rule record.
    Parse(Line("/a") + Line("//b") + Line("/") + Line("1   1") + Line("/not a comment") +
          RuleLine("/x", 4, 5));
    EXPECT_EQ(1, toolCount);
    EXPECT_EQ(1, ruleCount);
    ExpectSlot(0, "/not a comment ");
    ExpectRule(0, "/x", 4, 5);
}

TEST_F(AssocFile, ToolTextKeepsOneByteBehindThePath) {
    std::string path40 = "C:\\tools\\" + std::string(40 - 9, 'p') + "Z"; // ends at offset 40
    std::string inner = "C:\\A B\\c  d.exe";
    std::string full75 = std::string(75, 'q') + "W"; // offset 75 set: byte 76 is the byte behind
    Parse(Line("5   0") + Line(path40) + Line(inner) + Line(full75 + "XY") + Line(std::string(75, 'r')) +
          Raw(std::string(76, 's') + std::string("\0tu", 3)));
    EXPECT_EQ(5, toolCount);
    EXPECT_EQ(0, ruleCount);
    ASSERT_EQ(42u, strlen(tools[0]));
    EXPECT_EQ(' ', tools[0][41]);
    ExpectSlot(0, path40 + " ");
    ExpectSlot(1, inner + " "); // blanks inside the path stay
    ExpectSlot(2, full75 + "X");
    ExpectSlot(3, std::string(75, 'r') + " ");
    // The longest text, 77 bytes, still leaves room for the NUL.
    EXPECT_EQ(77u, strlen(tools[2]));
    ExpectSlot(4, std::string(76, 's')); // byte 76 is NUL: the text ends there
}

TEST_F(AssocFile, BlankToolRecordLeavesItsSlotEmpty) {
    Parse(Line("5   0") + Line("X") + Line(At(76, "Q")) + Line("") + Line("C:\\x.exe") +
          Line("Y" + At(74, "Z")));
    EXPECT_EQ(5, toolCount);
    ExpectSlot(0, ""); // offset 0 alone does not make a program
    ExpectSlot(1, ""); // nor does offset 76 alone
    ExpectSlot(2, "");
    ExpectSlot(3, "C:\\x.exe "); // slot numbers follow the records, empty ones included
    ExpectSlot(4, "Y" + std::string(74, ' ') + "Z ");
}

TEST_F(AssocFile, ToolTextEndsAtAnEarlierNul) {
    std::string rec = "C:\\a.exe";
    rec += '\0';
    rec += "garbage";
    Parse(Line("1   0") + Line(rec));
    EXPECT_EQ(1, toolCount);
    ExpectSlot(0, "C:\\a.exe");
}

TEST_F(AssocFile, ZeroToolsMakesTheNextRecordARule) {
    Parse(Line("0   1") + RuleLine("doc", 3, 1) + RuleLine("never", 1, 1));
    EXPECT_EQ(0, toolCount);
    EXPECT_EQ(1, ruleCount);
    ExpectRule(0, "doc", 3, 1);
    ExpectEmptyFrom(0, 1);
}

TEST_F(AssocFile, NegativeCountsReadAsZero) {
    Parse(Line("-2  1") + RuleLine("txt", 0, 0));
    EXPECT_EQ(0, toolCount);
    EXPECT_EQ(1, ruleCount);
    ExpectRule(0, "txt", 0, 0);

    Parse(Line("1   -5") + Line("C:\\a.exe") + RuleLine("txt", 0, 0));
    EXPECT_EQ(1, toolCount);
    EXPECT_EQ(0, ruleCount);
}

TEST_F(AssocFile, CountsAboveCapacityStopAtTheTables) {
    std::string file = Line("25  60");
    for (int k = 0; k < 25; k++)
        file += Line("C:\\tool" + std::to_string(k) + ".exe");
    for (int k = 0; k < 60; k++)
        file += RuleLine("e" + std::to_string(k), k % 20, 19 - k % 20);
    Parse(file);
    EXPECT_EQ(TOOL_SLOT_COUNT, toolCount);
    EXPECT_EQ(EXTENSION_RULE_COUNT, ruleCount);
    ExpectSlot(0, "C:\\tool0.exe ");
    ExpectSlot(19, "C:\\tool19.exe ");
    // The surplus tool records are passed over, not taken for rules.
    ExpectRule(0, "e0", 0, 19);
    ExpectRule(49, "e49", 9, 10);

    // Counts far out of range: the loops end with the file.
    Parse(Line("99999999999999999999 2147483648") + Line("C:\\only.exe"));
    EXPECT_EQ(1, toolCount);
    EXPECT_EQ(0, ruleCount);
    ExpectSlot(0, "C:\\only.exe ");
}

TEST_F(AssocFile, ShortFilesKeepOnlyCompleteRecords) {
    Parse(nullptr, 0);
    EXPECT_EQ(0, toolCount);
    EXPECT_EQ(0, ruleCount);

    Parse(Line("/ only a comment") + Line("/ and another"));
    EXPECT_EQ(0, toolCount);
    EXPECT_EQ(0, ruleCount);

    std::string file = SampleFile();
    Parse(file.substr(0, 80 + 79)); // header one byte short
    EXPECT_EQ(0, toolCount);
    EXPECT_EQ(0, ruleCount);
    ExpectEmptyFrom(0, 0);

    Parse(file.substr(0, 4 * 80)); // two of three tools
    EXPECT_EQ(2, toolCount);
    EXPECT_EQ(0, ruleCount);
    ExpectSlot(1, "C:\\Program Files\\WZ EDITOR\\wz_main.exe ");
    ExpectEmptyFrom(2, 0);

    Parse(file.substr(0, 4 * 80 + 40)); // the last tool cut in half
    EXPECT_EQ(2, toolCount);
    EXPECT_EQ(0, ruleCount);
    ExpectEmptyFrom(2, 0);
}

TEST_F(AssocFile, ShortFilesKeepTheRulesRead) {
    std::string file = SampleFile();
    Parse(file.substr(0, 5 * 80 + 40)); // the first rule cut in half
    EXPECT_EQ(3, toolCount);
    EXPECT_EQ(0, ruleCount);
    ExpectEmptyFrom(3, 0);

    Parse(file.substr(0, 7 * 80)); // two of four rules
    EXPECT_EQ(3, toolCount);
    EXPECT_EQ(2, ruleCount);
    ExpectRule(1, "jpg", 2, 0);
    ExpectEmptyFrom(3, 2);

    // A last line without its CR LF (or LF) is still a record; one cut shorter is not.
    for (size_t cut : {2, 1, 3}) {
        Parse(file.substr(0, file.size() - cut));
        EXPECT_EQ(3, toolCount);
        EXPECT_EQ(cut < 3 ? 4 : 3, ruleCount) << "cut " << cut;
        ExpectRule(cut < 3 ? 3 : 2, cut < 3 ? "*" : "bmp", cut < 3 ? 0 : 2, 0);
        ExpectEmptyFrom(3, ruleCount);
    }
}

TEST_F(AssocFile, NumbersStayInsideTheirRecord) {
    // Digits up to the record's end must not continue into the next record's digits.
    // Header "0 ... 2" then a record opening with "5": 25 rules would reach the third record.
    Parse(Raw("0" + At(78, "2")) + Raw("5txt" + At(12, "1" + At(62, "7"))) + Raw("3jpg" + At(12, "2   3")) +
          RuleLine("zzz", 9, 9));
    EXPECT_EQ(0, toolCount);
    EXPECT_EQ(2, ruleCount);
    ExpectRule(0, "5txt", 1, 7); // alternate 7 at offset 79, not 73
    ExpectRule(1, "3jpg", 2, 3);
    ExpectEmptyFrom(0, 2);

    // A blank alternate field reads as 0, not as the number opening the next record.
    Parse(Line("0   2") + Raw("gif" + At(16, "4")) + Raw("12" + At(14, "3   6")));
    EXPECT_EQ(2, ruleCount);
    ExpectRule(0, "gif", 4, 0);
    ExpectRule(1, "12", 3, 6);

    // A header of digits only saturates instead of overflowing.
    Parse(Raw(std::string(80, '1')) + Line("C:\\a.exe"));
    EXPECT_EQ(1, toolCount);
    EXPECT_EQ(0, ruleCount);
}

TEST_F(AssocFile, NumberFieldsEndAtTheFirstNonDigit) {
    // The tool index runs into the alternate index when no non-digit separates them.
    Parse(Line("0   3") + Line("a" + At(15, "12  3")) + Line("b" + At(15, "12345")) +
          Line("c" + At(15, "-2  +7x9")));
    EXPECT_EQ(3, ruleCount);
    ExpectRule(0, "a", 12, 3);
    ExpectRule(1, "b", 12345, 5);
    ExpectRule(2, "c", -2, 7);
}

TEST_F(AssocFile, ExtensionFieldEdges) {
    // The raw header ends in blanks: a scan that left the blank field would run on into it.
    Parse(Raw("0   5") + RuleLine("", 1, 1) + Line("abcdefghijklmnop1   2") + Line("abcdefghijklmno 3   4") +
          Line("a b" + At(13, "5   6")) + Line(std::string("\0zz", 3) + At(13, "7   8")));
    // Blank fields (or one opening with NUL) give no rule; the records after them move up.
    EXPECT_EQ(3, ruleCount);
    ExpectRule(0, "abcdefghijklmno", 1, 2); // 16 characters: the 16th is dropped
    ExpectRule(1, "abcdefghijklmno", 3, 4);
    ExpectRule(2, "a b", 5, 6);
    ExpectEmptyFrom(0, 3);
}

TEST(ParseBoundedDecimal, ReadsLikeAtoiWithinTheLength) {
    EXPECT_EQ(42, ParseBoundedDecimal("  +42x", 6));
    EXPECT_EQ(-17, ParseBoundedDecimal("\t\r\n\v\f-17 5", 10));
    EXPECT_EQ(0, ParseBoundedDecimal("- 5", 3));
    EXPECT_EQ(0, ParseBoundedDecimal("    ", 4));
    EXPECT_EQ(0, ParseBoundedDecimal("\x82\x50", 2)); // a CP932 full-width digit is no digit
    EXPECT_EQ(123, ParseBoundedDecimal("12345", 3));
    EXPECT_EQ(0, ParseBoundedDecimal("  12", 2));
    EXPECT_EQ(0, ParseBoundedDecimal("-", 1));
    EXPECT_EQ(INT_MAX, ParseBoundedDecimal("2147483647", 10));
    EXPECT_EQ(INT_MAX, ParseBoundedDecimal("2147483648", 10));
    EXPECT_EQ(INT_MIN, ParseBoundedDecimal("-2147483648", 11));
    EXPECT_EQ(INT_MIN, ParseBoundedDecimal("-99999999999999999999999", 24));
    EXPECT_EQ(9, ParseBoundedDecimal("00000000000000000000000000009", 29)); // zeros do not saturate
}

} // namespace
