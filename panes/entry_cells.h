// The size and date cells of an entry, from its find data, as both listings
// show them.
#pragma once
#include <windows.h>

struct EntryCells {
    char size[32]; // empty for a folder, and for a system file where sizeOfSystem is 0
    char date[32]; // empty for a system entry
};
void FormatEntryCells(const WIN32_FIND_DATAA& found, int sizeOfSystem, EntryCells* cells);
