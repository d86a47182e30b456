#include "panes/sort_compare.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "base/cp932.h"

// The leading decimal number as a standard conversion reads it, without
// overflow: leading blanks, an optional sign, then digits.
static long long LeadingNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        text++;
    int negative = 0;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        if (value < 100000000000000000LL)
            value = value * 10 + (*text - '0');
    return negative ? -value : value;
}

void MakeSortKey(const char* cellText, unsigned attributes, int column, SortKey* key) {
    key->attributes = attributes;
    size_t n = strnlen(cellText, SORT_TEXT_LIMIT);
    memcpy(key->text, cellText, n);
    key->text[n] = '\0';
    // Right-aligned in a field wide enough for any size, so that sizes past
    // eight digits still compare in numeric order.
    if (column == 1)
        snprintf(key->text, sizeof key->text, "%20lld", LeadingNumber(key->text));
}

int CompareSortKeys(const SortKey& a, const SortKey& b, int column, int direction) {
    int ascending = direction == 1;
    if (column == 0) {
        int folderA = (a.attributes & 0x10) != 0, folderB = (b.attributes & 0x10) != 0;
        if (folderA != folderB) {
            int r = folderA ? -1 : 1;
            return ascending ? r : -r;
        }
    }
    int r = CompareFolded932(a.text, b.text);
    return ascending ? r : -r;
}

void SortRows(int* rows, size_t count, const SortKey* keys, int column, int direction) {
    std::stable_sort(rows, rows + count,
                     [&](int a, int b) { return CompareSortKeys(keys[a], keys[b], column, direction) < 0; });
}
