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
