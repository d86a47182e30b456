#include "base/text_buffer.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int CopyText(char* dst, size_t cap, const char* src) {
    size_t len = strlen(src);
    if (cap == 0 || len >= cap)
        return 0;
    memmove(dst, src, len + 1);
    return 1;
}

int AppendText(char* dst, size_t cap, const char* src) {
    size_t have = strnlen(dst, cap);
    size_t len = strlen(src);
    if (have >= cap || len >= cap - have)
        return 0;
    memmove(dst + have, src, len + 1);
    return 1;
}

int JoinPath(char* dst, size_t cap, const char* folder, const char* name) {
    size_t a = strlen(folder), b = strlen(name);
    if (cap == 0 || a >= cap || b >= cap - a)
        return 0;
    memmove(dst, folder, a);
    memmove(dst + a, name, b + 1);
    return 1;
}

int FormatText(char* dst, size_t cap, const char* format, ...) {
    if (cap == 0)
        return 0;
    char local[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(local, sizeof local, format, args);
    va_end(args);
    if (n < 0 || (size_t)n >= sizeof local || (size_t)n >= cap)
        return 0;
    memcpy(dst, local, (size_t)n + 1);
    return 1;
}
