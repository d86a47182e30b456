#include "assoc/open_rules.h"

#include <string.h>

#include "base/cp932.h"
#include "base/text_buffer.h"

void FileExtension(const char* name, char* extension, size_t cap) {
    extension[0] = '\0';
    size_t length = strlen(name);
    for (size_t i = length; i > 1; i--) {
        if (name[i - 1] == '.') {
            CopyText(extension, cap, name + i);
            return;
        }
    }
}

int FindRule(const ExtensionRule* rules, int ruleCount, const char* extension) {
    for (int i = 0; i < ruleCount; i++) {
        if (rules[i].extension[0] == '*')
            return i;
        // The rule's field is NUL-padded inside its 16 bytes.
        char field[EXTENSION_SIZE + 1];
        memcpy(field, rules[i].extension, EXTENSION_SIZE);
        field[EXTENSION_SIZE] = '\0';
        if (CompareFolded932(field, extension) == 0)
            return i;
    }
    return -1;
}

const char* ToolText(const char (*table)[TOOL_SLOT_SIZE], int count, int index) {
    if (index < 0 || index >= count || index >= TOOL_SLOT_COUNT || table[index][0] == '\0')
        return nullptr;
    return table[index];
}

int BuildCommandLine(char* dst, size_t cap, const char* tool, const char* folder, const char* name) {
    size_t a = strnlen(tool, TOOL_SLOT_SIZE), b = strlen(folder), c = strlen(name);
    if (cap > 0)
        dst[0] = '\0';
    if (a == TOOL_SLOT_SIZE || a + b + c + 3 > cap)
        return 0;
    // A quote inside would end the quoted path early and split it in two.
    if (memchr(folder, '"', b) || memchr(name, '"', c))
        return 0;
    char* p = dst;
    memcpy(p, tool, a), p += a;
    *p++ = '"';
    memcpy(p, folder, b), p += b;
    memcpy(p, name, c), p += c;
    *p++ = '"';
    *p = '\0';
    return 1;
}

int ToolProgramPath(const char* tool, char* path, size_t cap) {
    size_t length = strnlen(tool, TOOL_SLOT_SIZE);
    if (length > 0 && tool[length - 1] == ' ')
        length--;
    if (length == 0 || length >= cap) {
        if (cap > 0)
            path[0] = '\0';
        return 0;
    }
    memcpy(path, tool, length);
    path[length] = '\0';
    return 1;
}
