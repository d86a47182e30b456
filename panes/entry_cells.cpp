#include "panes/entry_cells.h"

#include "panes/list_text.h"

void FormatEntryCells(const WIN32_FIND_DATAA& found, int sizeOfSystem, EntryCells* cells) {
    cells->size[0] = cells->date[0] = '\0';
    DWORD attributes = found.dwFileAttributes;
    DWORD sizeless = FILE_ATTRIBUTE_DIRECTORY | (sizeOfSystem ? 0 : FILE_ATTRIBUTE_SYSTEM);
    if (!(attributes & sizeless)) {
        uint64_t size = ((uint64_t)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        if (!FormatSizeText(cells->size, sizeof cells->size, size))
            cells->size[0] = '\0';
    }
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        return;
    FILETIME local;
    SYSTEMTIME t;
    if (!(FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &t) &&
          FormatDateText(cells->date, sizeof cells->date, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute)))
        cells->date[0] = '\0';
}
