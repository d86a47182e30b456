#include "panes/folder_follow.h"

#include <objbase.h>

#include <memory>
#include <new>
#include <string>

#include "core/pane_model.h"
#include "panes/folder_listing.h"
#include "panes/my_computer.h"
#include "panes/pane_view.h"
#include "panes/shell_answers.h"

namespace {

// What one read found; gone when the folder could not be searched.
struct FolderRead {
    unsigned listing;
    int gone = 0;
    int drives = 0;
    PaneModel model;
};

// One pane as the thread sees it. The window writes folder and listing (under
// the lock); the change handle and the times are the thread's own.
struct Followed {
    std::string folder;
    int followed = 0;
    int myComputer = 0;
    int paused = 0;
    int sortColumn = -1; // the order the pane's rows are in
    int sortDirection = 1;
    unsigned listing = 0;
    int changed = 0; // a change not yet read
    int reading = 0;
    DWORD due = 0;
    DWORD lastRead = 0;
    HANDLE watch = INVALID_HANDLE_VALUE;
    int rewatch = 0; // the watch was let go of: take it again
    FILETIME listedWriteTime = {0, 0};
    std::string watched; // the folder watch is on
    unsigned watchedListing = 0;
    std::unique_ptr<FolderRead> ready; // waiting for the window
    int held = 0;
};

CRITICAL_SECTION gLock;
int gLockMade;
Followed gPanes[2];
HWND gWindow;
HANDLE gWake;
HANDLE gThread;
volatile LONG gStop;
volatile LONG gInterval = 500;
// A burst of changes (a file written in parts) is read once, a moment on.
const DWORD kSettleMs = 30;
// How often the thread looks whether a watched folder still exists and
// whether the drives changed; Wine tells neither by the watch.
const DWORD kLookMs = 1000;

struct Lock {
    Lock() { EnterCriticalSection(&gLock); }
    ~Lock() { LeaveCriticalSection(&gLock); }
};

int Due(DWORD now, DWORD due) {
    return (LONG)(now - due) >= 0;
}

int FolderExists(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FILETIME FolderWriteTime(const std::string& folder) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(folder.c_str(), GetFileExInfoStandard, &data))
        return FILETIME{0, 0};
    return data.ftLastWriteTime;
}

HANDLE OpenWatch(const std::string& folder) {
    return FindFirstChangeNotificationA(folder.c_str(), FALSE,
                                        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                            FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                            FILE_NOTIFY_CHANGE_LAST_WRITE);
}

// Puts each pane's watch on the folder it now shows (the thread's own handles).
void MoveWatches() {
    for (Followed& pane : gPanes) {
        std::string folder;
        unsigned listing;
        int wanted;
        FILETIME listed;
        {
            Lock lock;
            folder = pane.folder;
            listing = pane.listing;
            wanted = pane.followed && !pane.myComputer && !pane.paused;
            listed = pane.listedWriteTime;
        }
        if (pane.watch != INVALID_HANDLE_VALUE && (!wanted || pane.watched != folder)) {
            FindCloseChangeNotification(pane.watch);
            pane.watch = INVALID_HANDLE_VALUE;
            pane.rewatch = 1;
        }
        if (wanted && pane.watch == INVALID_HANDLE_VALUE &&
            (pane.watchedListing != listing || pane.rewatch)) {
            int listedSince = pane.watchedListing != listing && !pane.rewatch;
            pane.rewatch = 0;
            pane.watchedListing = listing;
            pane.watched = folder;
            pane.watch = OpenWatch(folder);
            // A folder that can't be watched is read (and found gone) now; one
            // whose entries changed between its listing and the watch, too.
            FILETIME now = FolderWriteTime(folder);
            if (pane.watch == INVALID_HANDLE_VALUE || (listedSince && CompareFileTime(&now, &listed) != 0)) {
                Lock lock;
                if (pane.listing == listing && !pane.changed) {
                    pane.changed = 1;
                    pane.due = GetTickCount();
                }
            }
        }
    }
}

// Under Wine a folder another program removes stays until the last handle on
// it goes, and the watch is one: it is let go of now and then, so that such a
// removal completes. 1 when the folder is gone or its entries changed meanwhile.
int LetGoOfWatch(Followed& pane) {
    FILETIME before = FolderWriteTime(pane.watched);
    FindCloseChangeNotification(pane.watch);
    pane.watch = OpenWatch(pane.watched);
    FILETIME after = FolderWriteTime(pane.watched);
    return pane.watch == INVALID_HANDLE_VALUE || CompareFileTime(&before, &after) != 0;
}

void MarkChanged(Followed& pane, DWORD now) {
    Lock lock;
    if (pane.changed)
        return;
    pane.changed = 1;
    DWORD settled = now + kSettleMs;
    DWORD spaced = pane.lastRead + (DWORD)gInterval;
    pane.due = pane.lastRead && !Due(settled, spaced) ? spaced : settled;
}

// Reads a pane's folder as a listing would, sorted as the pane is; posts it.
void ReadPane(int side) {
    Followed& pane = gPanes[side];
    std::string folder;
    std::unique_ptr<FolderRead> read(new (std::nothrow) FolderRead);
    if (!read)
        return;
    int column, direction;
    {
        Lock lock;
        folder = pane.folder;
        read->listing = pane.listing;
        read->drives = pane.myComputer;
        column = pane.sortColumn;
        direction = pane.sortDirection;
        pane.changed = 0;
        pane.reading = 1;
    }
    if (!read->drives) {
        static ShellAnswers answers;
        answers.count = 0;
        int hidden = 0;
        read->model.folder = folder;
        if (!FolderExists(folder) || !ReadFolderInto(read->model, folder.c_str(), &answers, &hidden)) {
            read->gone = !FolderExists(folder);
            read->model.Clear();
        }
        read->model.EndListing();
        SortModelRows(read->model, column, direction);
    }
    Lock lock;
    pane.reading = 0;
    pane.lastRead = GetTickCount();
    if (!pane.lastRead)
        pane.lastRead = 1;
    if (read->listing != pane.listing)
        return;
    pane.ready = std::move(read);
    PostMessageA(gWindow, MSG_FOLDER_READ, (WPARAM)side, 0);
}

DWORD WINAPI FollowThread(void*) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DWORD drives = GetLogicalDrives();
    DWORD lastLook = GetTickCount();
    while (!gStop) {
        MoveWatches();
        HANDLE handles[3] = {gWake};
        int sides[3] = {-1};
        DWORD count = 1;
        for (int side = 0; side < 2; side++)
            if (gPanes[side].watch != INVALID_HANDLE_VALUE) {
                sides[count] = side;
                handles[count++] = gPanes[side].watch;
            }
        DWORD now = GetTickCount();
        DWORD wait = kLookMs - (now - lastLook < kLookMs ? now - lastLook : kLookMs);
        {
            Lock lock;
            for (const Followed& pane : gPanes)
                if (pane.changed) {
                    DWORD left = Due(now, pane.due) ? 0 : pane.due - now;
                    if (left < wait)
                        wait = left;
                }
        }
        DWORD woke = WaitForMultipleObjects(count, handles, FALSE, wait);
        now = GetTickCount();
        if (woke > WAIT_OBJECT_0 && woke < WAIT_OBJECT_0 + count) {
            Followed& pane = gPanes[sides[woke - WAIT_OBJECT_0]];
            // Asked again before the read, so a change made while it runs is seen.
            if (!FindNextChangeNotification(pane.watch)) {
                FindCloseChangeNotification(pane.watch);
                pane.watch = INVALID_HANDLE_VALUE;
            }
            MarkChanged(pane, now);
        }
        if (now - lastLook >= kLookMs) {
            lastLook = now;
            DWORD nowDrives = GetLogicalDrives();
            for (Followed& pane : gPanes) {
                int myComputer, followed;
                {
                    Lock lock;
                    myComputer = pane.myComputer;
                    followed = pane.followed;
                }
                if (followed && myComputer && nowDrives != drives)
                    MarkChanged(pane, now);
                else if (pane.watch != INVALID_HANDLE_VALUE && LetGoOfWatch(pane))
                    MarkChanged(pane, now);
            }
            drives = nowDrives;
        }
        for (int side = 0; side < 2 && !gStop; side++) {
            int read;
            {
                Lock lock;
                read = gPanes[side].changed && Due(now, gPanes[side].due);
            }
            if (read)
                ReadPane(side);
        }
    }
    for (Followed& pane : gPanes)
        if (pane.watch != INVALID_HANDLE_VALUE) {
            FindCloseChangeNotification(pane.watch);
            pane.watch = INVALID_HANDLE_VALUE;
        }
    CoUninitialize();
    return 0;
}

} // namespace

void StartFollowing(HWND window) {
    if (!gLockMade) {
        InitializeCriticalSection(&gLock);
        gLockMade = 1;
    }
    StopFollowing();
    gWindow = window;
    gStop = 0;
    gWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    gThread = CreateThread(nullptr, 0, FollowThread, nullptr, 0, nullptr);
}

void StopFollowing() {
    if (!gThread)
        return;
    InterlockedExchange(&gStop, 1);
    SetEvent(gWake);
    WaitForSingleObject(gThread, INFINITE);
    CloseHandle(gThread);
    CloseHandle(gWake);
    gThread = gWake = nullptr;
    for (Followed& pane : gPanes)
        pane = Followed();
    gWindow = nullptr;
}

void FollowListing(int side, const char* folder, int sortColumn, int sortDirection) {
    if (!gThread || side < 0 || side > 1)
        return;
    FILETIME time = folder[0] ? FolderWriteTime(folder) : FILETIME{0, 0};
    {
        Lock lock;
        Followed& pane = gPanes[side];
        pane.folder = folder;
        pane.followed = 1;
        pane.myComputer = folder[0] == '\0';
        pane.sortColumn = sortColumn;
        pane.sortDirection = sortDirection;
        pane.listedWriteTime = time;
        pane.listing++;
        pane.changed = 0;
        pane.ready.reset();
        pane.held = 0;
        pane.paused = 0;
    }
    SetEvent(gWake);
}

void PauseFollowing(int side) {
    if (!gThread)
        return;
    {
        Lock lock;
        gPanes[side].paused = 1;
    }
    SetEvent(gWake);
}

void ResumeFollowing(int side) {
    if (!gThread)
        return;
    {
        Lock lock;
        Followed& pane = gPanes[side];
        if (!pane.paused)
            return;
        pane.paused = 0;
        pane.changed = 1;
        pane.due = GetTickCount();
    }
    SetEvent(gWake);
}

void SetFollowInterval(DWORD milliseconds) {
    InterlockedExchange(&gInterval, (LONG)milliseconds);
}

int FollowPending(int side) {
    if (!gThread)
        return 0;
    Lock lock;
    const Followed& pane = gPanes[side];
    return pane.changed || pane.reading || pane.ready != nullptr;
}

int FollowHeld(int side) {
    if (!gThread)
        return 0;
    Lock lock;
    return gPanes[side].held && gPanes[side].ready != nullptr;
}

int TakeFolderRead(int side, HWND list, int held) {
    std::unique_ptr<FolderRead> read;
    {
        Lock lock;
        Followed& pane = gPanes[side];
        if (!pane.ready || pane.ready->listing != pane.listing)
            return FOLLOW_NOTHING;
        pane.held = held;
        if (held)
            return FOLLOW_HELD;
        read = std::move(pane.ready);
    }
    if (read->drives) {
        ListMyComputer(list);
        return FOLLOW_DRIVES;
    }
    if (read->gone)
        return FOLLOW_GONE;
    PaneModel* model = ModelOfList(list);
    if (!model || model->folder != read->model.folder)
        return FOLLOW_NOTHING;
    // Sorted by another column since the read began: the next read sorts so too.
    if (read->model.sortedColumn != model->sortedColumn ||
        read->model.sortedDirection != model->sortedDirection) {
        SortModelRows(read->model, model->sortedColumn, model->sortedDirection);
        Lock lock;
        gPanes[side].sortColumn = model->sortedColumn;
        gPanes[side].sortDirection = model->sortedDirection;
    }
    if (SameEntries(*model, read->model))
        return FOLLOW_NOTHING;
    PaneChoice choice;
    ReadPaneChoice(list, *model, &choice);
    model->TakeListing(read->model);
    ShowRows(list, *model, choice);
    return FOLLOW_SHOWN;
}
