// Code page 932 byte scans. A trail byte of a double-byte character may be 0x5C,
// or an ASCII letter, so a path is never scanned for "\" byte by byte, nor
// folded byte by byte, without these.
#pragma once
#include <stddef.h>

int IsLeadByte932(unsigned char c);
// Bytes of the character at text: 2 for a lead byte with its trail, 1 for any
// other byte (a lead byte cut off by the end included), 0 at the end.
size_t CharLength932(const char* text);
// 1 when text ends in a lead byte whose trail byte is missing.
int EndsInCutCharacter932(const char* text);
// The longest prefix of text, at most room bytes, that ends between characters.
size_t WholeCharacters932(const char* text, size_t room);
// Offset of the last real "\" separator in text, or -1.
int FindLastSeparator(const char* text);
// 1 when text ends in a real "\" separator (not the trail byte of a character).
int EndsWithSeparator(const char* text);
// Appends "\" unless text is empty or already ends with one; 0 when it would not fit.
int EnsureTrailingSeparator(char* text, size_t cap);

// The case-insensitive comparison of names and paths: only the ASCII letters
// A-Z fold (to lower case), and a double-byte character compares by both its
// bytes as they are. Negative, 0 or positive, as strcmp.
int CompareFolded932(const char* a, const char* b);
// The same over the first n bytes of a; a character that starts before n is
// compared whole.
int CompareFolded932N(const char* a, const char* b, size_t n);
