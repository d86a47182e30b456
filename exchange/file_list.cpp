#include "exchange/file_list.h"

#include <string.h>

#include "base/cp932.h"
#include "fileops/walk_paths.h"

static void Put32(unsigned char* at, uint32_t value) {
    for (int i = 0; i < 4; i++)
        at[i] = (unsigned char)(value >> (8 * i));
}

static uint32_t Get32(const unsigned char* at) {
    return (uint32_t)at[0] | ((uint32_t)at[1] << 8) | ((uint32_t)at[2] << 16) | ((uint32_t)at[3] << 24);
}

size_t FileListBlockSize(const char* const* names, int count, int wide, WideConverter convert) {
    size_t units = 0;
    for (int i = 0; i < count; i++)
        units += wide ? (size_t)convert(names[i], nullptr, 0) : strlen(names[i]) + 1;
    // An empty wide list still needs its two zero units: a reader of the list
    // looks at the unit after the first empty name.
    if (wide && count == 0)
        units = 1;
    return FILE_LIST_HEADER + 2 + (wide ? 2 * units : units);
}

void WriteFileListBlock(unsigned char* block, size_t size, const char* const* names, int count, int wide,
                        WideConverter convert) {
    Put32(block, FILE_LIST_HEADER);
    Put32(block + 4, 0);
    Put32(block + 8, 0);
    Put32(block + 12, 0);
    Put32(block + 16, wide ? 1 : 0);
    unsigned char* at = block + FILE_LIST_HEADER;
    unsigned char* end = block + size;
    for (int i = 0; i < count; i++) {
        if (wide) {
            // Written unit by unit, so the block needn't be 16-bit aligned.
            uint16_t units[600];
            int n = convert(names[i], units, (int)(sizeof units / sizeof units[0]));
            for (int u = 0; u < n && at + 2 <= end - 2; u++, at += 2) {
                at[0] = (unsigned char)units[u];
                at[1] = (unsigned char)(units[u] >> 8);
            }
        } else {
            size_t length = strlen(names[i]) + 1;
            if (at + length > end - 2)
                break;
            memcpy(at, names[i], length);
            at += length;
        }
    }
    // The final terminator: two zero bytes (the block was zeroed).
    memset(at, 0, (size_t)(end - at));
}

int IsFileListBlockSound(const unsigned char* block, size_t size) {
    if (!block || size < FILE_LIST_HEADER)
        return 0;
    uint32_t first = Get32(block);
    if (first < FILE_LIST_HEADER || first >= size)
        return 0;
    int wide = Get32(block + 16) != 0;
    size_t step = wide ? 2 : 1;
    // The list ends with two NULs: the last name's own and the list's (an
    // empty list is the two NULs alone). One NUL alone ends nothing, and the
    // shell's count would read past it.
    int previousWasEnd = 0;
    for (size_t at = first; at + step <= size; at += step) {
        int zero = wide ? (block[at] == 0 && block[at + 1] == 0) : block[at] == 0;
        if (zero && previousWasEnd)
            return 1;
        previousWasEnd = zero;
    }
    return 0;
}

void FolderOfPath(const char* path, char* folder, size_t cap) {
    const char* name = NameOfPath(path);
    size_t length = (size_t)(name - path);
    if (cap == 0)
        return;
    if (length >= cap)
        length = cap - 1;
    memcpy(folder, path, length);
    folder[length] = '\0';
}

int IsSameFolderText(const char* a, const char* b) {
    return CompareFolded932(a, b) == 0;
}
