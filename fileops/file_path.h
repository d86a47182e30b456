// Paths as the file operations act on them. The ANSI text is what the system
// shows and what messages name; when a name on the path can't be spelt in the
// code page, the real wide path is kept beside it and every call on the file
// uses that, so the operation reaches this file and keeps its name.
#pragma once
#include <windows.h>

#include "core/filer_core.h"

struct FilePath {
    char text[PATH_SIZE];
    WCHAR wide[PATH_SIZE]; // empty: the text reaches the file
};

inline int IsWidePath(const FilePath& path) {
    return path.wide[0] != 0;
}
// A path whose text reaches its file; 0 when it does not fit.
int SetFilePath(FilePath* path, const char* text);
// The wide form of a path: its real path, or its text converted exactly.
int WideOfPath(const FilePath& path, WCHAR* out, int capacity);
// Turns the text of a path into its wide form as the ANSI calls do.
int WidenText(const char* text, WCHAR* out, int capacity);
// The ANSI form of a wide name as the ANSI calls give it (best fit, "?"), cut
// at a whole character to fit the buffer.
void NarrowName(const WCHAR* name, char* out, int capacity);
const WCHAR* NameOfWidePath(const WCHAR* path);
// 1 when a name on the path ends in "." or " " or is a device's name: the
// platform would read the path as another, so only its "\\?\" form reaches
// the entry.
int NeedsExactForm(const WCHAR* path);
// A wide path in the form the wide calls must get: the "\\?\" form where
// it needs one (or, with always, wherever it can have one: no path limit
// then applies), else as it is; empty when it doesn't fit.
struct ExactPath {
    explicit ExactPath(const WCHAR* wide, int always = 0);
    WCHAR path[PATH_SIZE + 8];
};

// folder + "\" + name, as ChildPath; realName, when given, is the real form
// of name. 0, with the path emptied, when it would pass 259 bytes.
int ChildFilePath(FilePath* child, const FilePath& folder, const char* name, const WCHAR* realName);
// folder + name directly (pane folders end in "\"), as ItemPath.
int ItemFilePath(FilePath* item, const char* folder, const char* name, const WCHAR* realName, size_t limit);
// The same path with the last name replaced by another, in both forms.
int SiblingFilePath(FilePath* sibling, const FilePath& path, const char* name, const WCHAR* realName);

// One entry of a folder search: the find data as the ANSI search gives it,
// and the real name where that one does not reach the file.
struct FoundEntry {
    WIN32_FIND_DATAA found;
    WCHAR realName[MAX_PATH]; // empty when found.cFileName reaches the file
};
inline const WCHAR* RealNameOf(const FoundEntry& entry) {
    return entry.realName[0] ? entry.realName : nullptr;
}
// The entry as the ANSI search would give it, from the wide search's data.
void ReadFoundEntry(const WIN32_FIND_DATAW& wide, FoundEntry* entry);
// The search of every entry of a folder ("*.*"); INVALID_HANDLE_VALUE with
// ERROR_FILENAME_EXCED_RANGE when its pattern can't be formed.
HANDLE FindFirstEntry(const FilePath& folder, FoundEntry* entry);
int FindNextEntry(HANDLE search, FoundEntry* entry);
// The search of pattern as text (relative patterns included).
HANDLE FindFirstEntryOf(const char* pattern, FoundEntry* entry);
// The search of a pattern formed as a path (a folder's path and "*.tmp").
HANDLE FindFirstEntryOfPath(const FilePath& pattern, FoundEntry* entry);

// 1 when the text names an existing folder.
int FolderExists(const char* path);
// The file calls, each on the real path where there is one.
DWORD AttributesOfPath(const FilePath& path);
int AttributeDataOfPath(const FilePath& path, WIN32_FILE_ATTRIBUTE_DATA* data);
int SetAttributesOfPath(const FilePath& path, DWORD attributes);
HANDLE OpenPath(const FilePath& path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
int CopyFileOfPath(const FilePath& from, const FilePath& to, BOOL failIfExists);
int MoveFileOfPath(const FilePath& from, const FilePath& to, DWORD flags);
// The name the entry at path has on the disk (its case and real spelling);
// 0 when there is no such entry.
int NameOnDisk(const FilePath& path, WCHAR* name, int capacity);
int DeleteFileOfPath(const FilePath& path);
int CreateFolderOfPath(const FilePath& path);
int RemoveFolderOfPath(const FilePath& path);
