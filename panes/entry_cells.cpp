#include "panes/entry_cells.h"

#include <string.h>

#include "panes/list_text.h"

// The wide text a row shows is the real name only where the list, asked for
// the row as ANSI text, gives back the listed text; elsewhere the listed text
// stays, so that other programs read what they read before.
static int ShowsRealName(const WCHAR* realName, const char* listed) {
    char back[MAX_PATH * 2];
    int n = WideCharToMultiByte(CP_ACP, 0, realName, -1, back, sizeof back, nullptr, nullptr);
    return n > 0 && strcmp(back, listed) == 0;
}

int AddListedEntry(PaneModel& model, const WIN32_FIND_DATAA& found, int haveData, const WCHAR* realName,
                   int sizeOfSystem, int icon, const char* type) {
    int index = model.Add(found.cFileName, realName, realName ? found.cAlternateFileName : nullptr, type);
    PaneEntry& entry = model.Entry(index);
    DWORD attributes = found.dwFileAttributes;
    entry.attributes = attributes;
    entry.icon = icon;
    entry.size = ((uint64_t)found.nFileSizeHigh << 32) | found.nFileSizeLow;
    DWORD sizeless = FILE_ATTRIBUTE_DIRECTORY | (sizeOfSystem ? 0 : FILE_ATTRIBUTE_SYSTEM);
    if (!haveData || (attributes & sizeless))
        entry.flags |= ENTRY_NO_SIZE;
    SYSTEMTIME t;
    if (!haveData || (attributes & FILE_ATTRIBUTE_SYSTEM) ||
        !FileTimeToLocalFileTime(&found.ftLastWriteTime, &entry.localTime) ||
        !FileTimeToSystemTime(&entry.localTime, &t))
        entry.flags |= ENTRY_NO_DATE;
    if (realName && ShowsRealName(realName, found.cFileName))
        entry.flags |= ENTRY_SHOWS_REAL_NAME;
    return index;
}

void EntryCellText(const PaneModel& model, const PaneEntry& entry, int column, char* text, size_t cap) {
    text[0] = '\0';
    SYSTEMTIME t;
    switch (column) {
    case COLUMN_NAME: lstrcpynA(text, model.Name(entry), (int)cap); break;
    case COLUMN_SIZE:
        if (!(entry.flags & ENTRY_NO_SIZE) && !FormatSizeText(text, cap, entry.size))
            text[0] = '\0';
        break;
    case COLUMN_TYPE: lstrcpynA(text, model.Type(entry), (int)cap); break;
    case COLUMN_DATE:
        if (!(entry.flags & ENTRY_NO_DATE) && FileTimeToSystemTime(&entry.localTime, &t) &&
            !FormatDateText(text, cap, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute))
            text[0] = '\0';
        break;
    }
}
