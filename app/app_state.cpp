#include "app/app_state.h"

HINSTANCE gInstance;
HWND gMainWindow;
int gEditing;

const char kMainClassName[] = "Brennik by Ostrand Kelvo";
