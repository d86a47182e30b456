#include "app/layout.h"

MainLayout ComputeLayout(unsigned width, unsigned height) {
    int w = (int)width, h = (int)height;
    int centre = w / 2;
    int pathWidth = (w - 236) / 2;
    int listWidth = (w - 6) / 2;
    MainLayout l;
    l.toolbarHost = {centre - 115, 2, 230, 28};
    l.leftPath = {3, 2, pathWidth, 26};
    l.rightPath = {centre + 115, 2, pathWidth, 26};
    l.leftList = {2, 30, listWidth, h - 50};
    l.rightList = {centre, 30, listWidth, h - 50};
    l.statusSplit = centre;
    return l;
}
