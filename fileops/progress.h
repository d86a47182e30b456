// What the walks check of an item before they act on it.
#pragma once
#include <windows.h>

// A name holding a character of path syntax ("q\"x", "a\\b" as Wine lists
// them) reaches no file, or another one: 1 when realName is such a name;
// such an entry is left alone.
int IsUnreachableName(const WCHAR* realName);
struct FilePath;
struct SelectedItem;
class WalkSink;
// first + item and second + item, the item's real name on both sides; 0,
// told to the sink, when either would pass 259 bytes.
int FormItemPaths(const char* first, const char* second, const SelectedItem& item, FilePath* source,
                  FilePath* destination, WalkSink& sink);
