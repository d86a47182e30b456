// Deleting: into the recycle bin through the shell, or permanently, tree by tree.
#pragma once
#include <windows.h>

#include "fileops/selection.h"

struct FilePath;
int DeleteTree(const char* path, CancelSource cancel, WalkSink& sink);
int DeleteTree(const FilePath& path, CancelSource cancel, WalkSink& sink);
// First folder + item into the recycle bin, or deleted permanently.
int RecycleVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                   const WalkRun& run);
int DeleteVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                  const WalkRun& run);
struct FilePath;
// 1 when the shell moved the entry; 0 when it reports a failure or that it
// gave up. The path's text may be at most 258 bytes: the shell's list needs a
// second NUL. owner owns the shell's questions.
int SendToRecycleBin(const FilePath& path, HWND owner = nullptr);
