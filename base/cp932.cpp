#include "base/cp932.h"

#include <string.h>

#include "base/text_buffer.h"

int IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

size_t CharLength932(const char* text) {
    if (text[0] == '\0')
        return 0;
    return IsLeadByte932((unsigned char)text[0]) && text[1] != '\0' ? 2 : 1;
}

int EndsInCutCharacter932(const char* text) {
    for (size_t step; (step = CharLength932(text)) != 0; text += step)
        if (step == 1 && IsLeadByte932((unsigned char)text[0]) && text[1] == '\0')
            return 1;
    return 0;
}

size_t WholeCharacters932(const char* text, size_t room) {
    size_t take = 0;
    for (size_t step; (step = CharLength932(text + take)) != 0 && take + step <= room;)
        take += step;
    return take;
}

int FindLastSeparator(const char* text) {
    int last = -1;
    for (size_t i = 0, step; (step = CharLength932(text + i)) != 0; i += step)
        if (step == 1 && text[i] == '\\')
            last = (int)i;
    return last;
}

int EndsWithSeparator(const char* text) {
    size_t len = strlen(text);
    return len > 0 && FindLastSeparator(text) == (int)(len - 1);
}

int EnsureTrailingSeparator(char* text, size_t cap) {
    if (text[0] == '\0' || EndsWithSeparator(text))
        return 1;
    return AppendText(text, cap, "\\");
}

static unsigned char FoldLetter(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c + 32) : c;
}

int CompareFolded932N(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n;) {
        unsigned char x = (unsigned char)a[i], y = (unsigned char)b[i];
        if (CharLength932(a + i) == 2 || CharLength932(b + i) == 2) {
            // Both bytes as they are: the trail may look like a letter, and a
            // lead byte cut off by the end differs from a whole character.
            if (x != y)
                return x < y ? -1 : 1;
            x = (unsigned char)a[i + 1];
            y = (unsigned char)b[i + 1];
            if (x != y)
                return x < y ? -1 : 1;
            i += 2;
            continue;
        }
        x = FoldLetter(x);
        y = FoldLetter(y);
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
        i++;
    }
    return 0;
}

int CompareFolded932(const char* a, const char* b) {
    return CompareFolded932N(a, b, (size_t)-1);
}
