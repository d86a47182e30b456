#include "assoc/open_with.h"

// Starting programs arrives with the tools: until then nothing is started.
void OpenWithAssociation(const char*, const char*) {}
void RunToolOnSelection(int) {}
