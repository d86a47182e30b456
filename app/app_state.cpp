#include "app/app_state.h"

HINSTANCE gInstance;
HWND gMainWindow;

const char kMainClassName[] = "Brennik by Ostrand Kelvo";
