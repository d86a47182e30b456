// The one copy engine: files by the date rule, folders with everything below.
#pragma once
#include <windows.h>

#include "fileops/selection.h"

struct FilePath;
struct FolderIdentity;
// The volume serial and file index of a folder (or of any entry), through any
// link; 0 when unreadable.
int ReadFolderIdentity(const char* path, FolderIdentity* identity);
int ReadFolderIdentity(const FilePath& path, FolderIdentity* identity);
// 1 when inner is the folder outer, or lies below it, by identity: however
// links, short names, "\\?\" forms or case lead there. inner need not exist.
int IsSameOrInsideFolder(const FilePath& outer, const FilePath& inner);
// Refuses, told to the sink, a copy whose destination lies inside its source.
int RefuseCopyIntoItself(const char* source, const char* destination, WalkSink& sink);
int RefuseCopyIntoItself(const FilePath& source, const FilePath& destination, WalkSink& sink);
// Refuses, told to the sink, a listed entry without a name of its own (a
// drive root such as "D:\\"), which would be copied into the folder itself.
int RefuseNamelessEntry(const FilePath& entry, WalkSink& sink);

// The file operations. cancel is the job's flag, or null for a walk that
// can't be cancelled; the sink hears every entry, failure and refusal.
int CopyTree(const char* source, const char* destination, int force, CancelSource cancel, WalkSink& sink);
int CopyTree(const FilePath& source, const FilePath& destination, int force, CancelSource cancel,
             WalkSink& sink);
int IsCopyDue(const char* source, const char* destination);
int IsCopyDue(const FilePath& source, const FilePath& destination);
int CopyFolderContents(const char* sourceFolder, const char* destinationFolder, CancelSource cancel,
                       WalkSink& sink);
int CopyPathsInto(const FilePath* paths, const char* folder, WORD count, CancelSource cancel, WalkSink& sink);

// Copies first folder + item to second folder + item by the date rule.
int CopyVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                const WalkRun& run);
