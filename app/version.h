// The program's version, kept here only.
#pragma once

#define BRENNIK_VERSION "0.1.0"
