// Bounded text helpers: every write into a fixed buffer goes through these.
// Each returns 1 when the whole result fit, 0 otherwise (the buffer then holds
// the untouched old text, never a cut-off one).
#pragma once
#include <stddef.h>

int CopyText(char* dst, size_t cap, const char* src);
int AppendText(char* dst, size_t cap, const char* src);
// dst = folder + name, the way every item path is formed.
int JoinPath(char* dst, size_t cap, const char* folder, const char* name);
// printf-style into dst; 0 when the text would not fit.
int FormatText(char* dst, size_t cap, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
