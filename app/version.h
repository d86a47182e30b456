// The program's version, kept here only: the about box, the version resource
// and the release archive's name all read it from this file.
#pragma once

#define BRENNIK_VERSION_MAJOR 0
#define BRENNIK_VERSION_MINOR 1
#define BRENNIK_VERSION_PATCH 0
#define BRENNIK_VERSION "0.1.0"
