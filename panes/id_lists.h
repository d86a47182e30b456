// Shell item identifier lists as bytes: items that each start with their
// 16-bit size, ended by a 16-bit zero. Window-free.
#pragma once
#include <stddef.h>

// 0 for no list, else 2 plus the sizes of its items.
size_t IdListSize(const void* list);
// The size of first (without its terminator) followed by second.
size_t JoinedIdListSize(const void* first, const void* second);
// Writes first without its terminator, then the whole second list, into dst
// (JoinedIdListSize bytes).
void JoinIdListsInto(void* dst, const void* first, const void* second);
