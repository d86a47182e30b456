// The "Brenn.dat" parser over arbitrary bytes: any length, no CR LF, NULs,
// huge or negative counts. The tables it fills must stay within bounds and
// hold NUL-terminated texts.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "assoc/assoc_file.h"
#include "assoc/open_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the input's size, so a read past it is caught.
    std::vector<char> bytes(data, data + size);
    static char tools[TOOL_SLOT_COUNT][TOOL_SLOT_SIZE];
    static ExtensionRule rules[EXTENSION_RULE_COUNT];
    memset(tools, 0, sizeof tools);
    memset(rules, 0, sizeof rules);
    int toolCount = -1, ruleCount = -1;
    AssocTables tables = {tools, rules, &toolCount, &ruleCount};
    ParseAssociations(size ? bytes.data() : nullptr, size, tables);
    if (toolCount < 0 || toolCount > TOOL_SLOT_COUNT || ruleCount < 0 || ruleCount > EXTENSION_RULE_COUNT)
        __builtin_trap();
    for (int i = 0; i < TOOL_SLOT_COUNT; i++)
        if (!memchr(tools[i], '\0', TOOL_SLOT_SIZE))
            __builtin_trap();
    for (int i = 0; i < ruleCount; i++)
        if (!memchr(rules[i].extension, '\0', EXTENSION_SIZE))
            __builtin_trap();
    // What a double-click does with these tables, for a few names.
    const char* names[] = {"a.txt", "README", ".profile", "x.", "photo.JPG"};
    for (const char* name : names) {
        char extension[260];
        FileExtension(name, extension, sizeof extension);
        int rule = FindRule(rules, ruleCount, extension);
        if (rule >= ruleCount)
            __builtin_trap();
        if (rule >= 0) {
            const char* tool = ToolText(tools, toolCount, rules[rule].tool);
            char line[COMMAND_LINE_SIZE];
            if (tool)
                BuildCommandLine(line, sizeof line, tool, "C:\\dir\\", name);
        }
    }
    return 0;
}
