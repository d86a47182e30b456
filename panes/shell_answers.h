// What the shell says of listed items, asked once per extension in a listing.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "assoc/assoc_file.h"

// The shell's answer for one extension, kept for the rest of a listing: under
// Wine each query costs milliseconds, and files of one extension get the same
// type name and icon; so do folders that can't carry a look of their own.
// Files that carry their own icon and marked folders are always asked about
// one by one.
struct ShellAnswers {
    struct Entry {
        char extension[EXTENSION_SIZE];
        int icon;
        char type[80];
    };
    Entry entries[128];
    int count;
    // Every file and folder answered by its extension alone: no item's own
    // file is opened (while a job deletes or moves them).
    int byExtensionOnly;
};

// The type name and small-icon index of an item, from the answers kept so far
// when its extension has one, else from the shell (and then kept).
void AskShell(const char* fullPath, const WIN32_FIND_DATAA& found, ShellAnswers* answers, SHFILEINFOA* info);
