// Starting programs: a double-clicked file by its extension, and the Tools commands.
#pragma once

void OpenWithAssociation(const char* folder, const char* name);
// selector: low byte the built-in tool to start, high byte the one to try next.
void RunToolOnSelection(int selector);
