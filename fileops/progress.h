// What the file operations show while they work.
#pragma once

// Status bar part 0 or 1; nothing when the status bar doesn't exist.
void ShowProgress(int part, const char* text);
// The message for an item whose path would be too long: it is skipped.
void ReportPathTooLong(const char* folder, const char* name);
struct FilePath;
struct SelectedItem;
// first + item and second + item, the item's real name on both sides; 0,
// after the message, when either would pass 259 bytes.
int FormItemPaths(const char* first, const char* second, const SelectedItem& item, FilePath* source,
                  FilePath* destination);
