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

int HasPathPart(const char* text) {
    for (size_t step; (step = CharLength932(text)) != 0; text += step)
        if (step == 1 && (*text == '\\' || *text == '/' || *text == ':'))
            return 1;
    return 0;
}

int IsAbsolutePath(const char* text) {
    int drive = ((text[0] | 0x20) >= 'a' && (text[0] | 0x20) <= 'z') && text[1] == ':' &&
                (text[2] == '\\' || text[2] == '/');
    int unc = (text[0] == '\\' || text[0] == '/') && (text[1] == '\\' || text[1] == '/');
    return drive || unc;
}

int ToolProgramWord(const char* tool, char* word, size_t cap) {
    if (cap > 0)
        word[0] = '\0';
    size_t length = strnlen(tool, TOOL_SLOT_SIZE);
    size_t start = 0;
    while (start < length && tool[start] == ' ')
        start++;
    size_t end;
    if (start < length && tool[start] == '"') {
        const char* close = (const char*)memchr(tool + start + 1, '"', length - start - 1);
        if (!close)
            return 0;
        start++;
        end = (size_t)(close - tool);
    } else {
        // No trail byte of a double-byte character is a blank.
        end = start;
        while (end < length && tool[end] != ' ')
            end++;
    }
    if (end == start || end - start >= cap)
        return 0;
    memcpy(word, tool + start, end - start);
    word[end - start] = '\0';
    return 1;
}
