#include "assoc/assoc_file.h"

#include <limits.h>
#include <string.h>

namespace {

// Offsets inside a record.
enum {
    HEADER_RULE_COUNT_AT = 4,
    TOOL_TEXT_LAST = 75, // last column that may hold the path
    EXTENSION_LAST = 15, // last column of the extension field scan
    RULE_TOOL_AT = 16,
    RULE_ALTERNATE_AT = 20,
};

// The C locale's white space, byte by byte: CP932 bytes above 0x7F must never reach isspace().
bool IsSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int NumberAt(const char* record, size_t offset) {
    return ParseBoundedDecimal(record + offset, ASSOC_RECORD_SIZE - offset);
}

// Walks the image in whole records. A short tail is not a record, except a
// last one that lacks only its line end, as editors often save it: that one
// is read from a copy with the CR LF put back.
struct RecordReader {
    const char* data;
    size_t size;
    size_t pos;
    char tail[ASSOC_RECORD_SIZE];

    const char* Next() {
        size_t left = size - pos;
        if (left >= ASSOC_RECORD_SIZE) {
            const char* record = data + pos;
            pos += ASSOC_RECORD_SIZE;
            return record;
        }
        const size_t columns = ASSOC_RECORD_SIZE - 2;
        if (left != columns && !(left == columns + 1 && data[pos + columns] == '\r'))
            return nullptr;
        memcpy(tail, data + pos, columns);
        tail[columns] = '\r';
        tail[columns + 1] = '\n';
        pos = size;
        return tail;
    }
};

void ReadToolText(const char* record, char* slot) {
    int j = TOOL_TEXT_LAST;
    while (j > 0 && record[j] == ' ')
        j--;
    if (j == 0) {
        slot[0] = '\0';
        return;
    }
    // Keep one byte behind the path, normally the blank that separates it from the argument.
    size_t length = (size_t)j + 2;
    const char* nul = (const char*)memchr(record, '\0', length);
    if (nul)
        length = (size_t)(nul - record);
    memcpy(slot, record, length);
    slot[length] = '\0';
}

// Returns false for a blank extension field: such a rule would match nothing sensible.
bool ReadRule(const char* record, ExtensionRule* rule) {
    int e = EXTENSION_LAST;
    while (e >= 0 && record[e] == ' ')
        e--;
    size_t length = (size_t)(e + 1);
    // A field filled up to offset 15 leaves no room for the NUL: its 16th byte is dropped.
    if (length > EXTENSION_SIZE - 1)
        length = EXTENSION_SIZE - 1;
    const char* nul = (const char*)memchr(record, '\0', length);
    if (nul)
        length = (size_t)(nul - record);
    if (length == 0)
        return false;
    memcpy(rule->extension, record, length);
    rule->extension[length] = '\0';
    rule->tool = NumberAt(record, RULE_TOOL_AT);
    rule->alternateTool = NumberAt(record, RULE_ALTERNATE_AT);
    return true;
}

} // namespace

int ParseBoundedDecimal(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && IsSpaceByte(text[i]))
        i++;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        i++;
    }
    // Accumulate as a negative value so that INT_MIN is reachable without overflow.
    long long value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; i++) {
        if (value > (long long)INT_MIN - 1)
            value = value * 10 - (text[i] - '0');
    }
    if (negative)
        return value < INT_MIN ? INT_MIN : (int)value;
    return -value > INT_MAX ? INT_MAX : (int)-value;
}

void ParseAssociations(const char* data, size_t size, const AssocTables& tables) {
    *tables.toolCount = 0;
    *tables.ruleCount = 0;
    RecordReader reader{data, data ? size : 0, 0, {}};

    const char* header = reader.Next();
    while (header && header[0] == '/')
        header = reader.Next();
    if (!header)
        return;
    int announcedTools = NumberAt(header, 0);
    int announcedRules = NumberAt(header, HEADER_RULE_COUNT_AT);

    int tools = 0;
    for (int k = 0; k < announcedTools; k++) {
        const char* record = reader.Next();
        if (!record)
            return; // the file ends among the tools: it holds no rules
        // Tool records beyond the table are passed over so that the rules are still found.
        if (k < TOOL_SLOT_COUNT) {
            ReadToolText(record, tables.toolTable[k]);
            *tables.toolCount = ++tools;
        }
    }

    int rules = 0;
    int wantedRules = announcedRules > EXTENSION_RULE_COUNT ? EXTENSION_RULE_COUNT : announcedRules;
    for (int k = 0; k < wantedRules; k++) {
        const char* record = reader.Next();
        if (!record)
            break;
        if (ReadRule(record, &tables.rules[rules]))
            *tables.ruleCount = ++rules;
    }
}
