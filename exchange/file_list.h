// The shell's file-list block (a DROPFILES header and the names) as bytes,
// and the checks of blocks that other programs made. Window-free.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { FILE_LIST_HEADER = 20 };

// Converts one NUL-terminated code page name into UTF-16 units, its NUL
// included; with capacity 0 it only counts. Returns the units, 0 on failure.
typedef int (*WideConverter)(const char* name, uint16_t* out, int capacity);

// The block's size: 22 + sum(len + 1) for ANSI names, 22 + 2 * W for wide ones.
size_t FileListBlockSize(const char* const* names, int count, int wide, WideConverter convert);
// Writes header and names into a zeroed block of exactly that size.
void WriteFileListBlock(unsigned char* block, size_t size, const char* const* names, int count, int wide,
                        WideConverter convert);
// 1 when a block from elsewhere can be read safely: at least the header,
// pFiles at or behind the header and inside the block, and the list (ANSI or
// wide, as fWide says) ending in its double NUL inside the block.
int IsFileListBlockSound(const unsigned char* block, size_t size);

// The folder of a path, separator kept: "C:\data\a.txt" gives "C:\data\".
void FolderOfPath(const char* path, char* folder, size_t cap);
// Two folder paths equal with A-Z folded, all other bytes compared exactly.
int IsSameFolderText(const char* a, const char* b);
