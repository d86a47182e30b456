// Code page 932 byte scans. A trail byte of a double-byte character may be 0x5C,
// so a path is never scanned for "\" byte by byte without these.
#pragma once
#include <stddef.h>

int IsLeadByte932(unsigned char c);
// Offset of the last real "\" separator in text, or -1.
int FindLastSeparator(const char* text);
// 1 when text ends in a real "\" separator (not the trail byte of a character).
int EndsWithSeparator(const char* text);
// Appends "\" unless text is empty or already ends with one; 0 when it would not fit.
int EnsureTrailingSeparator(char* text, size_t cap);
