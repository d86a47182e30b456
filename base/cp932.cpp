#include "base/cp932.h"

#include <string.h>

#include "base/text_buffer.h"

int IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int FindLastSeparator(const char* text) {
    int last = -1;
    for (int i = 0; text[i] != '\0'; i++) {
        unsigned char c = (unsigned char)text[i];
        if (IsLeadByte932(c)) {
            if (text[i + 1] == '\0')
                break;
            i++;
        } else if (c == '\\') {
            last = i;
        }
    }
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
