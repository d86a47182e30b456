// The association data file: fixed 80-byte records of tool paths and extension rules.
// Window-free: takes the file's bytes, fills the tables.
#pragma once
#include <stddef.h>

enum {
    ASSOC_RECORD_SIZE = 80,
    TOOL_SLOT_COUNT = 20,
    TOOL_SLOT_SIZE = 80,
    EXTENSION_RULE_COUNT = 50,
    EXTENSION_SIZE = 16,
};

struct ExtensionRule {
    char extension[EXTENSION_SIZE];
    int tool;
    int alternateTool;
};

struct AssocTables {
    char (*toolTable)[TOOL_SLOT_SIZE]; // TOOL_SLOT_COUNT slots
    ExtensionRule* rules;              // EXTENSION_RULE_COUNT records
    int* toolCount;
    int* ruleCount;
};

// Parses a whole data file image into the tables (which the caller has zeroed).
// Counts above the table capacities are cut to the capacities, negative counts read as 0, and the
// counts stored are those of the records actually read, so a short file never leaves unread slots
// counted. A last record that lacks only its line end (78 columns, or 78 and CR) is still read. Rules whose
// extension field is blank are dropped.
void ParseAssociations(const char* data, size_t size, const AssocTables& tables);

// Reads a decimal number as atoi does (leading white space, optional sign, digits up to the first
// non-digit) but looks at no more than `length` bytes; values beyond the int range saturate.
int ParseBoundedDecimal(const char* text, size_t length);
