// What the file operations show while they work.
#pragma once
#include <windows.h>

// Status bar part 0 or 1; nothing when the status bar doesn't exist.
void ShowProgress(int part, const char* text);
// The message for an item whose path would be too long: it is skipped.
void ReportPathTooLong(const char* folder, const char* name);
// A name holding a character of path syntax ("q\"x", "a\\b" as Wine lists
// them) reaches no file, or another one: 1, after the message naming it,
// when realName is such a name; such an entry is left alone.
int RefuseUnreachableName(const char* folder, const char* name, const WCHAR* realName);
struct FilePath;
struct SelectedItem;
// first + item and second + item, the item's real name on both sides; 0,
// after the message, when either would pass 259 bytes.
int FormItemPaths(const char* first, const char* second, const SelectedItem& item, FilePath* source,
                  FilePath* destination);
