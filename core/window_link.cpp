#include "core/window_link.h"

WindowLink gWindowLink;
