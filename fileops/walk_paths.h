// How the file operations form and compare paths. Window-free, so every
// bound and every comparison is tested natively.
#pragma once
#include <stddef.h>

// The longest path the file operations form: 259 bytes and the NUL. The
// recycle bin needs one byte more for its second NUL.
enum { WALK_PATH_MAX = 259, RECYCLE_PATH_MAX = 258 };

// dst = folder, "\", name; no second "\" after a folder that ends in one (a
// drive root "C:\"). 0 when the result would pass 259 bytes; dst is then empty.
int ChildPath(char* dst, size_t cap, const char* folder, const char* name);
// dst = folder + name directly (pane folders end in "\"), at most `limit` bytes.
int ItemPath(char* dst, size_t cap, const char* folder, const char* name, size_t limit);
// The folder as a walk takes it: a trailing "\" removed, except that a drive
// root ("C:\") or "\" keeps it, so it stays the root and not the drive's
// current folder.
void TrimFolderPath(char* path);
// The search pattern of every entry of a folder: folder, "\", "*.*".
int SearchPattern(char* dst, size_t cap, const char* folder);
// 1 when `inner` lies strictly below `outer` ("C:\a\b" below "C:\a"; "C:\ab"
// and "C:\a" itself are not). Trailing "\" ignored, A-Z folded, double-byte
// characters compared whole.
int IsStrictlyInside(const char* outer, const char* inner);
// The same folder, or one strictly below it; never for an empty outer.
int IsSameOrInside(const char* outer, const char* inner);
// The name of a path: what follows its last "\" or ":" (empty for "C:\").
const char* NameOfPath(const char* path);
// "." and "..", the folder's own entries: the only names a walk passes over.
int IsFolderSelfEntry(const char* name);
// The name a copy gives a file until it is whole: ".~bk", 1 to 12 hex digits,
// and ".tmp" unless the path limit leaves no room for it. A file of this name
// that no copy is making is a copy's left-over.
enum { TEMPORARY_DIGITS_MAX = 12 };
int IsOwnTemporaryName(const char* name);
