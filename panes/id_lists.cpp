#include "panes/id_lists.h"

#include <string.h>

static size_t ItemSize(const unsigned char* p) {
    return (size_t)p[0] | ((size_t)p[1] << 8);
}

size_t IdListSize(const void* list) {
    if (!list)
        return 0;
    const unsigned char* p = (const unsigned char*)list;
    size_t size = 0;
    for (size_t item; (item = ItemSize(p + size)) != 0;)
        size += item;
    return size + 2;
}

size_t JoinedIdListSize(const void* first, const void* second) {
    size_t a = first ? IdListSize(first) - 2 : 0;
    return a + IdListSize(second);
}

void JoinIdListsInto(void* dst, const void* first, const void* second) {
    size_t a = first ? IdListSize(first) - 2 : 0;
    if (a)
        memcpy(dst, first, a);
    size_t b = IdListSize(second);
    if (b)
        memcpy((unsigned char*)dst + a, second, b);
}
