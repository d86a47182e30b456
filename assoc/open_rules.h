// Which program opens a file, and the command line that starts it.
// Window-free, so the rule search and the bytes are tested natively.
#pragma once
#include <stddef.h>

#include "assoc/assoc_file.h"

// Tool text (at most 79 bytes), a quote, a 259-byte path, a quote and the NUL.
enum { COMMAND_LINE_SIZE = TOOL_SLOT_SIZE + 260 + 4 };

// The extension of a file name: the text after its last dot, unless that dot
// is the first character; empty when there is none. It is never cut: give
// room for a whole name, so "backup12" can't pass for "backup1".
void FileExtension(const char* name, char* extension, size_t cap);
// The first rule whose extension equals (A-Z folded) or that is the catch-all
// "*"; -1 when the table has neither.
int FindRule(const ExtensionRule* rules, int ruleCount, const char* extension);
// The tool text of a slot, or null for an index outside the table or an empty slot.
const char* ToolText(const char (*table)[TOOL_SLOT_SIZE], int count, int index);
// tool + '"' + folder + name + '"'; 0 (dst empty) when it would not fit, or
// when folder or name holds a quote, which would split the path in two.
int BuildCommandLine(char* dst, size_t cap, const char* tool, const char* folder, const char* name);
// The program path of a tool text: the text without its final blank.
int ToolProgramPath(const char* tool, char* path, size_t cap);
// 1 when text names a place ("\\", "/" or ":"), not a bare program name.
int HasPathPart(const char* text);
// 1 for a path that names one place whatever the current folder is: a drive
// and its root ("C:\\...") or a UNC path ("\\\\server\\...").
int IsAbsolutePath(const char* text);
// The program word of a tool text, as the system reads a command line: the
// text inside leading quotes, else the text up to the first blank; what
// follows is arguments. 0 (word empty) when there is none or it does not fit.
int ToolProgramWord(const char* tool, char* word, size_t cap);
