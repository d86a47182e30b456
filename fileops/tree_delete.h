// Deleting: into the recycle bin through the shell, or permanently, tree by tree.
#pragma once
#include <windows.h>

#include "fileops/selection.h"

// extra 0: recycle bin; anything else: permanent.
int DeleteVisitor(const char* firstFolder, const char* secondFolder, const char* name, int extra, LPARAM param,
                  CancelSource cancel);
// path needs room for one byte after its NUL.
int SendToRecycleBin(char* path);
