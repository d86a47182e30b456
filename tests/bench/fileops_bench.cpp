// Times the program's own listing, copy, update and delete paths on data that
// the bench script made, against floors measured in the same run. Prints one
// line per case: name|median|min|max (seconds), or name|value for figures.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/window_sink.h"
#include "core/filer_core.h"
#include "core/pane_model.h"
#include "panes/list_text.h"
#include "panes/shell_answers.h"
#include "fileops/tree_copy.h"
#include "fileops/tree_delete.h"
#include "panes/folder_listing.h"

static double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)f.QuadPart;
}

static int gRuns = 5;

// Runs prepare (untimed) then work (timed) gRuns times; prints the figures.
static void Time(const std::string& name, std::function<void()> prepare, std::function<void()> work) {
    std::vector<double> times;
    for (int i = 0; i < gRuns; i++) {
        prepare();
        double start = Now();
        work();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    printf("%s|%.4f|%.4f|%.4f\n", name.c_str(), times[times.size() / 2], times.front(), times.back());
    fflush(stdout);
}

// Every file below a folder, with the folders to make first.
static void Collect(const std::string& folder, std::vector<std::string>* files,
                    std::vector<std::string>* folders) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.cFileName[0] == '.')
            continue;
        std::string child = folder + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders->push_back(child);
            Collect(child, files, folders);
        } else {
            files->push_back(child);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

static void Remove(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteTree(path.c_str(), nullptr, WindowWalkSink());
}

// What a listing asks the shell for each item, without a list view.
static int ListingFloor(const std::string& folder) {
    SetCurrentDirectoryA(folder.c_str());
    WIN32_FIND_DATAA found;
    static ShellAnswers answers;
    answers.count = 0;
    HANDLE search = FindFirstFileA("*.*", &found);
    int n = 0;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (found.cFileName[0] == '.')
            continue;
        std::string full = folder + found.cFileName;
        SHFILEINFOA info = {};
        AskShell(full.c_str(), found, &answers, &info);
        char text[64];
        FormatSizeText(text, sizeof text, found.nFileSizeLow);
        FILETIME local;
        SYSTEMTIME t;
        FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &t);
        FormatDateText(text, sizeof text, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
        n++;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return n;
}

static SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

int main(int argc, char** argv) {
    MakeFilerCore();
    if (argc < 3) {
        fprintf(stderr, "usage: fileops_bench runs data-folder [panes]\n");
        return 2;
    }
    // "panes": the listing and its memory only, without the walks.
    int panesOnly = argc > 3 && !strcmp(argv[3], "panes");
    gRuns = atoi(argv[1]);
    std::string data = argv[2]; // ends with "\"
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND host =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_OWNERDATA, 0, 0, 600, 400,
                                host, (HMENU)100, nullptr, nullptr);
    char empty[PATH_SIZE];
    snprintf(empty, sizeof empty, "%sempty\\", data.c_str());
    CreateDirectoryA(empty, nullptr);
    InitPane(list, empty);

    // Memory: the working set with a big folder listed against the same pane
    // emptied, the pane's model included, as the median of the runs. One
    // listing of the folder comes first, untimed: what the allocators keep
    // for the next listing after the first is not held for this one.
    char path[PATH_SIZE];
    for (int count : {50000, 100000}) {
        snprintf(path, sizeof path, "%slist%d\\", data.c_str(), count);
        ListFolder(list, path);
        std::vector<double> perThousand;
        size_t modelBytes = 0;
        for (int run = 0; run < gRuns; run++) {
            snprintf(path, sizeof path, "%s", empty);
            ListFolder(list, path);
            SIZE_T before = WorkingSet();
            snprintf(path, sizeof path, "%slist%d\\", data.c_str(), count);
            ListFolder(list, path);
            SIZE_T after = WorkingSet();
            perThousand.push_back((double)(after > before ? after - before : 0) / (count / 1000) / 1024.0);
            if (PaneModel* model = ModelOfList(list))
                modelBytes = model->Bytes();
        }
        std::sort(perThousand.begin(), perThousand.end());
        printf("memory per 1000 items %d|%.1f|%.1f|%.1f\n", count, perThousand[perThousand.size() / 2],
               perThousand.front(), perThousand.back());
        printf("model per 1000 items %d|%.1f\n", count, (double)modelBytes / (count / 1000) / 1024.0);
        // The same for the folder search and the shell's answers alone: Wine
        // keeps a search's names until the next search, so each run starts
        // after a search of the empty folder, as the pane's runs do.
        std::string folder = data + "list" + std::to_string(count) + "\\";
        ListingFloor(folder);
        perThousand.clear();
        for (int run = 0; run < gRuns; run++) {
            ListingFloor(empty);
            SIZE_T before = WorkingSet();
            ListingFloor(folder);
            SIZE_T after = WorkingSet();
            perThousand.push_back((double)(after > before ? after - before : 0) / (count / 1000) / 1024.0);
        }
        std::sort(perThousand.begin(), perThousand.end());
        printf("memory floor per 1000 items %d|%.1f|%.1f|%.1f\n", count, perThousand[perThousand.size() / 2],
               perThousand.front(), perThousand.back());
        fflush(stdout);
    }

    for (const char* count : {"treeF", "1000", "10000", "50000", "100000"}) {
        // treeF is a pane of 500 folders, listed first; the runs after the
        // first of each case relist the folder the pane shows, as a refresh does.
        std::string folder = data + (count[0] == 't' ? "" : "list") + count + "\\";
        Time(
            std::string("list ") + count, [] {},
            [&] {
                snprintf(path, sizeof path, "%s", folder.c_str());
                ListFolder(list, path);
            });
        Time(
            std::string("list floor ") + count, [] {}, [&] { ListingFloor(folder); });
    }
    if (panesOnly) {
        DestroyWindow(host);
        OleUninitialize();
        return 0;
    }

    SetCurrentDirectoryA(data.c_str());
    for (const char* tree : {"treeA", "treeB", "treeF", "doc"}) {
        std::string source = data + tree, target = data + "copy-" + tree;
        if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        std::vector<std::string> files, folders;
        Collect(source, &files, &folders);
        Time(
            std::string("copy ") + tree, [&] { Remove(target); },
            [&] { CopyTree(source.c_str(), target.c_str(), 0, nullptr, WindowWalkSink()); });
        Time(
            std::string("copy floor ") + tree,
            [&] {
                Remove(target);
                CreateDirectoryA(target.c_str(), nullptr);
                for (const std::string& f : folders)
                    CreateDirectoryA((target + f.substr(source.size())).c_str(), nullptr);
            },
            [&] {
                for (const std::string& f : files)
                    CopyFileA(f.c_str(), (target + f.substr(source.size())).c_str(), FALSE);
            });
        if (std::string(tree) != "treeB")
            Time(
                std::string("update ") + tree,
                [&] {
                    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES)
                        CopyTree(source.c_str(), target.c_str(), 0, nullptr, WindowWalkSink());
                },
                [&] { CopyTree(source.c_str(), target.c_str(), 0, nullptr, WindowWalkSink()); });
        if (std::string(tree) == "treeA") {
            Time(
                "delete treeA",
                [&] {
                    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES)
                        CopyTree(source.c_str(), target.c_str(), 0, nullptr, WindowWalkSink());
                },
                [&] { DeleteTree(target.c_str(), nullptr, WindowWalkSink()); });
        }
        Remove(target);
    }
    DestroyWindow(host);
    OleUninitialize();
    return 0;
}
