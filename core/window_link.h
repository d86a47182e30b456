// What the parts below app/ ask of the main window. app/ fills it in when the
// window is made; the parts below never include the window's own headers.
#pragma once

struct WindowLink {
    // Both panes' object counts in the status bar; null before the window.
    void (*updateObjectCounts)();
};

extern WindowLink gWindowLink;

inline void UpdateCountsOfPanes() {
    if (gWindowLink.updateObjectCounts)
        gWindowLink.updateObjectCounts();
}
