#include "fileops/file_path.h"

#include <string.h>

#include "base/cp932.h"
#include "base/spellable.h"
#include "base/text_buffer.h"
#include "fileops/walk_paths.h"

int SetFilePath(FilePath* path, const char* text) {
    path->wide[0] = 0;
    if (!CopyText(path->text, sizeof path->text, text))
        return 0;
    // A path that ends in a device's name ("C:\\x\\con", a pane's folder
    // without its final "\\") names the device: its wide form reaches the entry.
    WCHAR name[PATH_SIZE];
    const char* last = NameOfPath(text);
    if (last[0] && WidenText(last, name, PATH_SIZE) && IsDeviceName(name, (size_t)lstrlenW(name)) &&
        !WidenText(text, path->wide, PATH_SIZE))
        return 0;
    return 1;
}

int WidenText(const char* text, WCHAR* out, int capacity) {
    out[0] = 0;
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, capacity) > 0)
        return 1;
    out[0] = 0;
    return 0;
}

int WideOfPath(const FilePath& path, WCHAR* out, int capacity) {
    if (!IsWidePath(path))
        return WidenText(path.text, out, capacity);
    if (lstrlenW(path.wide) >= capacity)
        return 0;
    lstrcpyW(out, path.wide);
    return 1;
}

void NarrowName(const WCHAR* name, char* out, int capacity) {
    // ASCII is the same in every code page.
    int plain = 0;
    while (plain < capacity - 1 && name[plain] && name[plain] < 0x80) {
        out[plain] = (char)name[plain];
        plain++;
    }
    if (!name[plain]) {
        out[plain] = '\0';
        return;
    }
    char whole[4 * MAX_PATH];
    int n = WideCharToMultiByte(CP_ACP, 0, name, -1, whole, sizeof whole, nullptr, nullptr);
    if (n <= 0)
        whole[0] = '\0';
    // A name longer than the buffer keeps its first whole characters: it is
    // then too long for any path and is reported, never acted on.
    int take = (int)WholeCharacters932(whole, (size_t)(capacity - 1));
    memcpy(out, whole, (size_t)take);
    out[take] = '\0';
}

int NeedsExactForm(const WCHAR* path) {
    const WCHAR* start = path;
    for (const WCHAR* p = path;; p++) {
        if (*p != L'\\' && *p != 0)
            continue;
        if (NeedsExactName(start, (size_t)(p - start)))
            return 1;
        if (!*p)
            return 0;
        start = p + 1;
    }
}

ExactPath::ExactPath(const WCHAR* wide, int always) {
    const WCHAR* prefix = L"";
    const WCHAR* rest = wide;
    // Paths already in a device form ("\\?\", "\\.\") stay as they are.
    if ((always || NeedsExactForm(wide)) &&
        !(wide[0] == L'\\' && wide[1] == L'\\' && (wide[2] == L'?' || wide[2] == L'.'))) {
        if (wide[0] && wide[1] == L':' && wide[2] == L'\\') {
            prefix = L"\\\\?\\";
        } else if (wide[0] == L'\\' && wide[1] == L'\\') {
            prefix = L"\\\\?\\UNC\\";
            rest = wide + 2;
        }
    }
    path[0] = 0;
    if (lstrlenW(prefix) + lstrlenW(rest) < (int)(sizeof path / sizeof path[0])) {
        lstrcpyW(path, prefix);
        lstrcatW(path, rest);
    }
}

const WCHAR* NameOfWidePath(const WCHAR* path) {
    const WCHAR* name = path;
    for (const WCHAR* p = path; *p; p++)
        if (*p == L'\\' || *p == L':')
            name = p + 1;
    return name;
}

// wide = folder's wide form, a "\\" unless it ends in one (or none is wanted),
// then the name's real or converted form; 0 when it passes capacity units.
static int JoinWide(WCHAR* wide, int capacity, const FilePath& folder, int separator, const char* name,
                    const WCHAR* realName) {
    WCHAR tail[PATH_SIZE];
    if (!WideOfPath(folder, wide, capacity))
        return 0;
    if (realName) {
        if (lstrlenW(realName) >= PATH_SIZE)
            return 0;
        lstrcpyW(tail, realName);
    } else if (!WidenText(name, tail, PATH_SIZE)) {
        return 0;
    }
    int length = lstrlenW(wide);
    if (separator && length > 0 && wide[length - 1] != L'\\')
        wide[length++] = L'\\';
    if (length + lstrlenW(tail) >= capacity)
        return 0;
    lstrcpyW(wide + length, tail);
    return 1;
}

static int Fail(FilePath* path) {
    path->text[0] = '\0';
    path->wide[0] = 0;
    return 0;
}

int ChildFilePath(FilePath* child, const FilePath& folder, const char* name, const WCHAR* realName) {
    child->wide[0] = 0;
    if (!ChildPath(child->text, sizeof child->text, folder.text, name))
        return Fail(child);
    if ((IsWidePath(folder) || realName) && !JoinWide(child->wide, PATH_SIZE, folder, 1, name, realName))
        return Fail(child);
    return 1;
}

int ItemFilePath(FilePath* item, const char* folder, const char* name, const WCHAR* realName, size_t limit) {
    item->wide[0] = 0;
    if (!ItemPath(item->text, sizeof item->text, folder, name, limit))
        return Fail(item);
    FilePath base;
    if (realName &&
        (!SetFilePath(&base, folder) || !JoinWide(item->wide, PATH_SIZE, base, 0, name, realName)))
        return Fail(item);
    return 1;
}

int SiblingFilePath(FilePath* sibling, const FilePath& path, const char* name, const WCHAR* realName) {
    FilePath folder;
    CopyText(folder.text, sizeof folder.text, path.text);
    folder.text[NameOfPath(folder.text) - folder.text] = '\0';
    folder.wide[0] = 0;
    if (IsWidePath(path)) {
        lstrcpyW(folder.wide, path.wide);
        folder.wide[NameOfWidePath(folder.wide) - folder.wide] = 0;
    }
    sibling->wide[0] = 0;
    if (!ItemPath(sibling->text, sizeof sibling->text, folder.text, name, WALK_PATH_MAX))
        return Fail(sibling);
    if ((IsWidePath(folder) || realName) && !JoinWide(sibling->wide, PATH_SIZE, folder, 0, name, realName))
        return Fail(sibling);
    return 1;
}

void ReadFoundEntry(const WIN32_FIND_DATAW& wide, FoundEntry* entry) {
    WIN32_FIND_DATAA& found = entry->found;
    found.dwFileAttributes = wide.dwFileAttributes;
    found.ftCreationTime = wide.ftCreationTime;
    found.ftLastAccessTime = wide.ftLastAccessTime;
    found.ftLastWriteTime = wide.ftLastWriteTime;
    found.nFileSizeHigh = wide.nFileSizeHigh;
    found.nFileSizeLow = wide.nFileSizeLow;
    found.dwReserved0 = wide.dwReserved0;
    found.dwReserved1 = wide.dwReserved1;
    NarrowName(wide.cFileName, found.cFileName, sizeof found.cFileName);
    NarrowName(wide.cAlternateFileName, found.cAlternateFileName, sizeof found.cAlternateFileName);
    entry->realName[0] = 0;
    if (!IsSpellable(wide.cFileName) || ReachOfName(wide.cFileName) != NAME_REACHES)
        lstrcpynW(entry->realName, wide.cFileName, MAX_PATH);
}

static HANDLE FindFirstWide(const WCHAR* pattern, FoundEntry* entry) {
    WIN32_FIND_DATAW wide;
    HANDLE search = FindFirstFileW(ExactPath(pattern).path, &wide);
    if (search != INVALID_HANDLE_VALUE)
        ReadFoundEntry(wide, entry);
    return search;
}

// The search of a folder whose pattern would pass the path limit (a folder
// of 256 to 259 bytes): the "\\?\" form has no such limit, so every folder a
// pane lists can be walked.
static HANDLE FindFirstLong(const FilePath& folder, FoundEntry* entry) {
    WCHAR pattern[PATH_SIZE + 2];
    if (!JoinWide(pattern, PATH_SIZE + 2, folder, 1, "*", nullptr)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    WIN32_FIND_DATAW wide;
    HANDLE search = FindFirstFileW(ExactPath(pattern, 1).path, &wide);
    if (search != INVALID_HANDLE_VALUE)
        ReadFoundEntry(wide, entry);
    return search;
}

HANDLE FindFirstEntry(const FilePath& folder, FoundEntry* entry) {
    // The text's pattern bounds the search as the ANSI walks always had it.
    char pattern[PATH_SIZE + 8];
    WCHAR wide[PATH_SIZE + 8];
    if (!SearchPattern(pattern, sizeof pattern, folder.text) ||
        !JoinWide(wide, PATH_SIZE + 8, folder, 1, "*.*", nullptr))
        return FindFirstLong(folder, entry);
    return FindFirstWide(wide, entry);
}

HANDLE FindFirstEntryOf(const char* pattern, FoundEntry* entry) {
    WCHAR wide[PATH_SIZE + 8];
    if (!WidenText(pattern, wide, PATH_SIZE + 8)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstWide(wide, entry);
}

HANDLE FindFirstEntryOfPath(const FilePath& pattern, FoundEntry* entry) {
    WCHAR wide[PATH_SIZE];
    if (!WideOfPath(pattern, wide, PATH_SIZE)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstWide(wide, entry);
}

int FindNextEntry(HANDLE search, FoundEntry* entry) {
    WIN32_FIND_DATAW wide;
    if (!FindNextFileW(search, &wide))
        return 0;
    ReadFoundEntry(wide, entry);
    return 1;
}

int FolderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD AttributesOfPath(const FilePath& path) {
    return IsWidePath(path) ? GetFileAttributesW(ExactPath(path.wide).path) : GetFileAttributesA(path.text);
}

int AttributeDataOfPath(const FilePath& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
    return IsWidePath(path) ? GetFileAttributesExW(ExactPath(path.wide).path, GetFileExInfoStandard, data)
                            : GetFileAttributesExA(path.text, GetFileExInfoStandard, data);
}

int SetAttributesOfPath(const FilePath& path, DWORD attributes) {
    return IsWidePath(path) ? SetFileAttributesW(ExactPath(path.wide).path, attributes)
                            : SetFileAttributesA(path.text, attributes);
}

HANDLE OpenPath(const FilePath& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    if (IsWidePath(path))
        return CreateFileW(ExactPath(path.wide).path, access, share, nullptr, disposition, flags, nullptr);
    return CreateFileA(path.text, access, share, nullptr, disposition, flags, nullptr);
}

// Both wide when either is: a real name on one side must reach the other.
struct WidePair {
    WCHAR from[PATH_SIZE], to[PATH_SIZE];
};
static int WidenPair(const FilePath& from, const FilePath& to, WidePair* pair) {
    return WideOfPath(from, pair->from, PATH_SIZE) && WideOfPath(to, pair->to, PATH_SIZE);
}

int CopyFileOfPath(const FilePath& from, const FilePath& to, BOOL failIfExists) {
    if (!IsWidePath(from) && !IsWidePath(to))
        return CopyFileA(from.text, to.text, failIfExists);
    WidePair pair;
    return WidenPair(from, to, &pair) &&
           CopyFileW(ExactPath(pair.from).path, ExactPath(pair.to).path, failIfExists);
}

int MoveFileOfPath(const FilePath& from, const FilePath& to, DWORD flags) {
    if (!IsWidePath(from) && !IsWidePath(to))
        return flags ? MoveFileExA(from.text, to.text, flags) : MoveFileA(from.text, to.text);
    WidePair pair;
    if (!WidenPair(from, to, &pair))
        return 0;
    ExactPath exactFrom(pair.from), exactTo(pair.to);
    return flags ? MoveFileExW(exactFrom.path, exactTo.path, flags) : MoveFileW(exactFrom.path, exactTo.path);
}

int NameOnDisk(const FilePath& path, WCHAR* name, int capacity) {
    WCHAR wide[PATH_SIZE];
    if (!WideOfPath(path, wide, PATH_SIZE))
        return 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(ExactPath(wide).path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    if (lstrlenW(found.cFileName) >= capacity)
        return 0;
    lstrcpyW(name, found.cFileName);
    return 1;
}

int DeleteFileOfPath(const FilePath& path) {
    return IsWidePath(path) ? DeleteFileW(ExactPath(path.wide).path) : DeleteFileA(path.text);
}

int CreateFolderOfPath(const FilePath& path) {
    return IsWidePath(path) ? CreateDirectoryW(ExactPath(path.wide).path, nullptr)
                            : CreateDirectoryA(path.text, nullptr);
}

int RemoveFolderOfPath(const FilePath& path) {
    return IsWidePath(path) ? RemoveDirectoryW(ExactPath(path.wide).path) : RemoveDirectoryA(path.text);
}
