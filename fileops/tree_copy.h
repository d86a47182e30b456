// The one copy engine: files by the date rule, folders with everything below.
#pragma once
#include <windows.h>

#include "fileops/selection.h"

struct FolderIdentity;
// The volume serial and file index of a folder, through any link; 0 when unreadable.
int ReadFolderIdentity(const char* path, FolderIdentity* identity);
// Refuses, with a message, a copy whose destination lies inside its source.
int RefuseCopyIntoItself(const char* source, const char* destination);

// Copies first folder + name to second folder + name; extra is the force flag.
int CopyVisitor(const char* firstFolder, const char* secondFolder, const char* name, int extra, LPARAM param,
                CancelSource cancel);
