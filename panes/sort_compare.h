// The comparison behind column sorting, on the texts the list shows.
#pragma once
#include <stddef.h>

enum { SORT_TEXT_LIMIT = 29 }; // bytes of a cell text that take part

// One item's part in a sort: its cell text (at most 29 bytes used) and attributes.
struct SortKey {
    char text[32];
    unsigned attributes;
};

// Fills key.text from a cell text: cut to 29 bytes, and for the size column
// replaced by its leading number right-aligned, so sizes compare by number.
void MakeSortKey(const char* cellText, unsigned attributes, int column, SortKey* key);

// Negative when a sorts before b. direction 1 is ascending, anything else descending.
int CompareSortKeys(const SortKey& a, const SortKey& b, int column, int direction);

// Sorts rows (entry indexes into keys) by the column, stably: entries whose
// keys compare equal keep the order they had.
void SortRows(int* rows, size_t count, const SortKey* keys, int column, int direction);
