#include "panes/folder_follow.h"

#include <objbase.h>

#include <memory>
#include <new>
#include <string>

#include "core/pane_model.h"
#include "fileops/file_path.h"
#include "panes/entry_cells.h"
#include "panes/folder_listing.h"
#include "panes/my_computer.h"
#include "panes/pane_view.h"
#include "panes/shell_answers.h"

namespace {

// What one read found; gone when the folder could not be searched.
struct FolderRead {
    unsigned listing;
    int gone = 0;
    PaneModel model; // its folder "" for a read of the drives
};

// One pane as the thread sees it. The window writes what it shows (under the
// lock); the watch and what belongs to it are the thread's own.
struct Followed {
    std::string folder;
    int followed = 0;
    int letGo = 0;          // a job runs that could remove the folder
    std::string keptFolder; // what the pane showed when the job began
    int sortColumn = -1;    // the order the pane's rows are in
    int sortDirection = 1;
    unsigned listing = 0;              // changes with each listing the window makes
    FILETIME listedWriteTime = {0, 0}; // the folder's time the rows were read at
    DWORD listedAt = 0;
    int changed = 0; // a change not yet read
    int reading = 0;
    DWORD due = 0;
    DWORD lastRead = 0;
    std::unique_ptr<FolderRead> ready; // waiting for the window
    int held = 0;

    HANDLE watch = INVALID_HANDLE_VALUE;
    std::string watched; // the folder watch is on
    unsigned watchedListing = 0;
    int rewatch = 0; // the watch was let go of, or lost: take it again
};

CRITICAL_SECTION gLock;
int gLockMade;
Followed gPanes[2];
HWND gWindow;
HANDLE gWake;
HANDLE gLetGoDone;
HANDLE gThread;
volatile LONG gStop;
// Stops a read under way: the window listed the pane anew, or wants the
// folders let go of.
volatile LONG gStopRead;
volatile LONG gInterval = 500;
unsigned gLetGoAsked, gLetGoSeen;
int gJobRunning;
// A job runs that removes or moves entries: no folder is held but the job's own.
int gRemoving;
// A burst of changes (a file written in parts) is read once, a moment on.
const DWORD kSettleMs = 30;
// A watch taken this long after its listing reads the folder again.
const DWORD kLateWatchMs = 50;
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

void CloseWatch(Followed& pane) {
    if (pane.watch == INVALID_HANDLE_VALUE)
        return;
    FindCloseChangeNotification(pane.watch);
    pane.watch = INVALID_HANDLE_VALUE;
    pane.rewatch = 1;
}

// Marks the pane for a read (with the lock held): a moment from now, and not
// sooner than the interval after the last one.
void MarkChangedLocked(Followed& pane, DWORD now) {
    if (pane.changed)
        return;
    pane.changed = 1;
    DWORD interval = (DWORD)gInterval;
    pane.due = pane.lastRead && now - pane.lastRead < interval ? pane.lastRead + interval : now + kSettleMs;
}

void MarkChanged(Followed& pane, DWORD now) {
    Lock lock;
    MarkChangedLocked(pane, now);
}

// Puts each pane's watch on the folder it now shows, or lets go of it.
void MoveWatches() {
    for (Followed& pane : gPanes) {
        std::string folder;
        unsigned listing;
        int wanted;
        FILETIME listed;
        DWORD listedAt;
        {
            Lock lock;
            folder = pane.folder;
            listing = pane.listing;
            wanted = pane.followed && !pane.folder.empty() && !pane.letGo;
            listed = pane.listedWriteTime;
            listedAt = pane.listedAt;
        }
        if (!wanted || pane.watched != folder)
            CloseWatch(pane);
        if (!wanted || pane.watch != INVALID_HANDLE_VALUE ||
            (pane.watchedListing == listing && !pane.rewatch))
            continue;
        // Taken again for the listing it watched, anything may have changed
        // meanwhile; for a new listing, only what changed the folder since,
        // unless the watch comes late (a file changed in place leaves the
        // folder's time alone).
        int unknown = pane.watchedListing == listing || GetTickCount() - listedAt > kLateWatchMs;
        pane.rewatch = 0;
        pane.watchedListing = listing;
        pane.watched = folder;
        pane.watch = OpenWatch(folder);
        FILETIME now = FolderWriteTime(folder);
        // A folder that can't be watched is read (and found gone) now.
        if (pane.watch == INVALID_HANDLE_VALUE || unknown || CompareFileTime(&now, &listed) != 0) {
            Lock lock;
            if (pane.listing == listing)
                MarkChangedLocked(pane, GetTickCount() - kSettleMs);
        }
    }
}

// Takes a signalled watch's notice and asks for the next.
void TakeNotice(Followed& pane, DWORD now) {
    if (pane.watch == INVALID_HANDLE_VALUE || WaitForSingleObject(pane.watch, 0) != WAIT_OBJECT_0)
        return;
    if (!FindNextChangeNotification(pane.watch))
        CloseWatch(pane);
    MarkChanged(pane, now);
}

// Under Wine a folder another program removes stays until the last handle on
// it goes, and the watch is one: it is let go of now and then, so that such a
// removal completes. 1 when a notice was waiting or the folder is gone.
int LetGoOfWatch(Followed& pane) {
    if (WaitForSingleObject(pane.watch, 0) == WAIT_OBJECT_0)
        return 1;
    FindCloseChangeNotification(pane.watch);
    pane.watch = OpenWatch(pane.watched);
    pane.rewatch = pane.watch == INVALID_HANDLE_VALUE;
    return pane.rewatch;
}

// Reads a pane's folder as a listing would, sorted as the pane is, and posts
// it to the window.
void ReadPane(int side) {
    Followed& pane = gPanes[side];
    std::unique_ptr<FolderRead> read(new (std::nothrow) FolderRead);
    if (!read)
        return;
    std::string folder;
    int column, direction;
    static ShellAnswers answers;
    {
        Lock lock;
        // Folders are being let go of: no search may hold one meanwhile.
        if (gLetGoSeen != gLetGoAsked || pane.letGo)
            return;
        folder = pane.folder;
        read->listing = pane.listing;
        column = pane.sortColumn;
        direction = pane.sortDirection;
        answers.byExtensionOnly = gJobRunning;
        pane.changed = 0;
        pane.reading = 1;
        InterlockedExchange(&gStopRead, 0);
    }
    FILETIME readAt = FolderWriteTime(folder);
    // Not searchable though still there (a removal pending, access refused):
    // the rows stay and the folder is tried again a moment on.
    int retry = 0;
    if (!folder.empty()) {
        answers.count = 0;
        int hidden = 0;
        read->model.folder = folder;
        if (!ReadFolderInto(read->model, folder.c_str(), &answers, &hidden, &gStopRead)) {
            read->gone = !FolderExists(folder.c_str());
            retry = !read->gone;
            read->model.Clear();
        }
        read->model.EndListing();
        SortNewListing(read->model, column, direction);
    }
    Lock lock;
    pane.reading = 0;
    pane.lastRead = GetTickCount() | 1;
    if (read->listing != pane.listing)
        return;
    // A read stopped for the other pane's sake is made again.
    if (retry || gStopRead) {
        if (!pane.letGo)
            MarkChangedLocked(pane, GetTickCount() + (retry ? kLookMs : 0));
        return;
    }
    pane.listedWriteTime = readAt;
    pane.ready = std::move(read);
    PostMessageA(gWindow, MSG_FOLDER_READ, (WPARAM)side, 0);
}

// Every second: the drives of a My Computer pane; each watched folder let go
// of for a moment; a lost watch taken again.
void LookAround(DWORD now, DWORD* drives) {
    DWORD nowDrives = GetLogicalDrives();
    for (Followed& pane : gPanes) {
        int myComputer, followed, letGo;
        FILETIME listed;
        {
            Lock lock;
            myComputer = pane.folder.empty();
            followed = pane.followed;
            letGo = pane.letGo;
            listed = pane.listedWriteTime;
        }
        if (!followed || letGo)
            continue;
        if (myComputer) {
            if (nowDrives != *drives)
                MarkChanged(pane, now);
        } else if (pane.watch != INVALID_HANDLE_VALUE) {
            // An entry added, removed or renamed since the rows were read
            // changed the folder's time, whether or not its notice came.
            FILETIME time = FolderWriteTime(pane.watched);
            if (LetGoOfWatch(pane) || CompareFileTime(&time, &listed) != 0)
                MarkChanged(pane, now);
        } else {
            pane.rewatch = 1;
        }
    }
    *drives = nowDrives;
}

DWORD WINAPI FollowThread(void*) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DWORD drives = GetLogicalDrives();
    DWORD lastLook = GetTickCount();
    while (!gStop) {
        unsigned asked;
        {
            Lock lock;
            asked = gLetGoAsked;
        }
        // Whatever was asked before this looks at the panes is done after it.
        MoveWatches();
        {
            Lock lock;
            if (gLetGoSeen != asked) {
                gLetGoSeen = asked;
                SetEvent(gLetGoDone);
            }
        }
        HANDLE handles[3] = {gWake};
        DWORD count = 1;
        for (const Followed& pane : gPanes)
            if (pane.watch != INVALID_HANDLE_VALUE)
                handles[count++] = pane.watch;
        DWORD now = GetTickCount();
        DWORD wait = kLookMs - (now - lastLook < kLookMs ? now - lastLook : kLookMs);
        {
            Lock lock;
            for (const Followed& pane : gPanes)
                if (pane.changed && !pane.letGo) {
                    DWORD left = Due(now, pane.due) ? 0 : pane.due - now;
                    if (left < wait)
                        wait = left;
                }
        }
        WaitForMultipleObjects(count, handles, FALSE, wait);
        now = GetTickCount();
        // Every watch is asked: the wait names only the first one signalled.
        for (Followed& pane : gPanes)
            TakeNotice(pane, now);
        if (now - lastLook >= kLookMs) {
            lastLook = now;
            LookAround(now, &drives);
        }
        for (int side = 0; side < 2 && !gStop; side++) {
            int read;
            {
                Lock lock;
                const Followed& pane = gPanes[side];
                read = pane.changed && !pane.letGo && Due(now, pane.due) && gLetGoSeen == gLetGoAsked;
            }
            if (read)
                ReadPane(side);
        }
    }
    for (Followed& pane : gPanes)
        CloseWatch(pane);
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
    gLetGoDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    gThread = CreateThread(nullptr, 0, FollowThread, nullptr, 0, nullptr);
}

void StopFollowing() {
    if (!gThread)
        return;
    InterlockedExchange(&gStop, 1);
    InterlockedExchange(&gStopRead, 1);
    SetEvent(gWake);
    WaitForSingleObject(gThread, INFINITE);
    CloseHandle(gThread);
    CloseHandle(gWake);
    CloseHandle(gLetGoDone);
    gThread = gWake = gLetGoDone = nullptr;
    for (Followed& pane : gPanes)
        pane = Followed();
    gLetGoAsked = gLetGoSeen = 0;
    gJobRunning = gRemoving = 0;
    gWindow = nullptr;
}

void FollowListing(int side, const char* folder, int sortColumn, int sortDirection) {
    if (!gThread || side < 0 || side > 1)
        return;
    FILETIME time = folder[0] ? FolderWriteTime(folder) : FILETIME{0, 0};
    {
        Lock lock;
        Followed& pane = gPanes[side];
        if (pane.reading)
            InterlockedExchange(&gStopRead, 1);
        pane.folder = folder;
        // A pane the job kept, led elsewhere, could be inside what it removes.
        if (gRemoving && pane.folder != pane.keptFolder)
            pane.letGo = 1;
        pane.followed = 1;
        pane.sortColumn = sortColumn;
        pane.sortDirection = sortDirection;
        pane.listedWriteTime = time;
        pane.listedAt = GetTickCount();
        pane.listing++;
        pane.changed = 0;
        pane.ready.reset();
        pane.held = 0;
    }
    SetEvent(gWake);
}

void ReadPaneAgain(int side) {
    if (!gThread || side < 0 || side > 1)
        return;
    {
        Lock lock;
        Followed& pane = gPanes[side];
        pane.listing++;
        pane.ready.reset();
        pane.held = 0;
        pane.changed = 0;
        MarkChangedLocked(pane, GetTickCount());
    }
    SetEvent(gWake);
}

void FollowDuringJob(int removing, int keptSides) {
    if (!gThread)
        return;
    {
        Lock lock;
        for (int side = 0; side < 2; side++) {
            Followed& pane = gPanes[side];
            if (removing && !(keptSides & (1 << side)))
                pane.letGo = 1;
            pane.keptFolder = pane.folder;
        }
        gJobRunning = 1;
        gRemoving = removing;
        if (!removing)
            return;
        gLetGoAsked++;
        InterlockedExchange(&gStopRead, 1);
    }
    SetEvent(gWake);
    // The thread lets go between two reads; a read under way stops at its next entry.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
        WaitForSingleObject(gLetGoDone, 100);
        Lock lock;
        if (gLetGoSeen == gLetGoAsked)
            break;
    }
}

int HoldingNoFolder() {
    return gRemoving;
}

void FollowAfterJob() {
    if (!gThread)
        return;
    {
        Lock lock;
        gJobRunning = 0;
        gRemoving = 0;
        // Read again: what the pane let go of, and the icons the shell gave
        // by extension only.
        for (Followed& pane : gPanes) {
            if (!pane.followed)
                continue;
            pane.letGo = 0;
            pane.changed = 0;
            MarkChangedLocked(pane, GetTickCount());
        }
    }
    SetEvent(gWake);
}

void SetFollowInterval(DWORD milliseconds) {
    InterlockedExchange(&gInterval, (LONG)milliseconds);
}

int FollowHeld(int side) {
    if (!gThread)
        return 0;
    Lock lock;
    return gPanes[side].held;
}

int TakeFolderRead(int side, HWND list, int held) {
    std::unique_ptr<FolderRead> read;
    {
        Lock lock;
        Followed& pane = gPanes[side];
        if (!pane.ready || pane.ready->listing != pane.listing)
            return FOLLOW_NOTHING;
        read = std::move(pane.ready);
        // What the user does meanwhile may change the rows: read again after.
        pane.held = held;
        if (held)
            return FOLLOW_HELD;
    }
    if (read->model.folder.empty()) {
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
