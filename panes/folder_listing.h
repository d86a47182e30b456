// A pane's list: made, filled from its folder (or My Computer), and sorted.
#pragma once
#include <windows.h>

void InitPane(HWND list, char* path);
int ListFolder(HWND list, char* path);
// Toggles the column's direction and sorts the list by it.
int SortByColumn(HWND list, int column);
// Sorts the last list sorted by the column in its present direction.
int SortList(int column);

struct ShellAnswers;
class PaneModel;
// Adds every entry of folder to model as a listing shows it, searching by
// the whole path (so any thread may read); hidden counts the entries left
// out for a path too long. 0 when the folder can't be searched. Stops
// between entries once *stop (when given) is set.
int ReadFolderInto(PaneModel& model, const char* folder, ShellAnswers* answers, int* hidden,
                   const volatile LONG* stop);
