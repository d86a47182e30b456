// Where the main window's children go for a given client size.
#pragma once

struct ControlRect {
    int x, y, width, height;
};

struct MainLayout {
    ControlRect toolbarHost;
    ControlRect leftPath;
    ControlRect rightPath;
    ControlRect leftList;
    ControlRect rightList;
    int statusSplit; // right edge of status part 0
};

// width and height are the client size as WM_SIZE gives it (unsigned halves).
MainLayout ComputeLayout(unsigned width, unsigned height);
