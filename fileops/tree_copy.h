// The one copy engine: files by the date rule, folders with everything below.
#pragma once
#include <windows.h>

#include "fileops/selection.h"

// Copies first folder + name to second folder + name; extra is the force flag.
int CopyVisitor(const char* firstFolder, const char* secondFolder, const char* name, int extra, LPARAM param,
                CancelSource cancel);
