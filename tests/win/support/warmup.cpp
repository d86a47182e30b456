// Run once before the tests: it starts Wine's desktop and service processes with
// nothing but /dev/null as their output, so they never hold a test's output
// pipe open after the test has ended.
#include <windows.h>

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(window);
    return GetDesktopWindow() ? 0 : 1;
}
