// Starting programs: a double-clicked file by its extension, and the Tools commands.
#pragma once
#include <windows.h>

#include "assoc/assoc_file.h"
#include "fileops/selection.h"

extern const char BuiltInToolTable[6][TOOL_SLOT_SIZE];

// The rule goes by the listed name; the program is given passedName (the
// short name of a name the code page can't spell), or name when null.
void OpenWithAssociation(const char* folder, const char* name, const char* passedName = nullptr);
// selector: low byte the built-in tool to start, the rest the one to try next.
struct Pane;
void RunToolOnSelection(const Pane* pane, int selector);
// Starts tool text + the quoted path; 0 when it could not be started.
int StartTool(const char* tool, const char* folder, const char* name);
