// The sink that shows the user what the file operations say: a box for each
// failed or refused entry, the status bar for progress and a job's end.
#pragma once

#include "fileops/walk_sink.h"

WalkSink& WindowWalkSink();
