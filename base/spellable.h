// Names the ANSI calls can reach. A name whose characters the code page lacks
// comes back from them as another name ("café" as "cafe", "한국" as "??"),
// which may be another file or none. Window-free.
#pragma once
#include <stddef.h>

#ifdef _WIN32
typedef wchar_t NameUnit;
#else
typedef char16_t NameUnit;
#endif

// 1 when the name's code page 932 form converts back to the very same wide
// name, so an ANSI call with that form reaches this name and no other.
int IsSpellable(const NameUnit* name);

// How a name found in a folder can be reached. The platform rewrites a path
// before it looks: a name ending in "." or " " loses them ("dot." reaches
// "dot"), and a device's name ("nul.txt") names the device, except in a path
// starting "\\?\"; a name holding a character of
// path syntax (\ / : * ? " < > |, or a control character) can't be named
// at all, and "a\b" even names the file b in the folder a.
enum NameReach { NAME_REACHES, NAME_NEEDS_EXACT_PATH, NAME_UNREACHABLE };
// 1 when the name of this many units (a part of a path) ends in "." or " ".
int EndsAsAnotherName(const NameUnit* name, size_t length);
// 1 when a plain path with this name names a device, not the file:
// "nul.txt", "con", "aux.log", "com1.txt" (any case, any extension).
int IsDeviceName(const NameUnit* name, size_t length);
// Either of the two: only the "\\?\" form reaches the entry.
int NeedsExactName(const NameUnit* name, size_t length);
NameReach ReachOfName(const NameUnit* name);
