#include "fileops/tree_copy.h"

#include <string.h>

#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "base/cp932.h"
#include "base/text_buffer.h"
#include "fileops/link_rule.h"
#include "fileops/progress.h"
#include "fileops/walk_paths.h"

static const char kCopyError[] = "CopyZ File ERROR";

// The last-write time of a file opened without sharing, as the date rule
// wants it; 0 when it can't be opened.
static int ReadWriteTime(const char* path, FILETIME* time) {
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int ok = GetFileTime(file, nullptr, nullptr, time);
    CloseHandle(file);
    return ok;
}

int FilerCore::IsCopyDue(const char* source, const char* destination) {
    FILETIME destinationTime, sourceTime;
    if (!ReadWriteTime(destination, &destinationTime))
        return 1;
    if (!ReadWriteTime(source, &sourceTime))
        return 0;
    return CompareFileTime(&sourceTime, &destinationTime) > 0;
}

// A name beside the destination for the new copy until it is whole. It starts
// with a dot, so listings and walks pass it over.
static int TemporaryName(const char* destination, char* temporary, unsigned attempt) {
    static volatile LONG counter;
    char folder[PATH_SIZE], name[32];
    lstrcpynA(folder, destination, sizeof folder);
    char* end = folder + (NameOfPath(folder) - folder);
    *end = '\0';
    FormatText(name, sizeof name, ".~bk%lx%x.tmp", GetCurrentProcessId() & 0xFFFF,
               (unsigned)InterlockedIncrement(&counter) + attempt);
    return ItemPath(temporary, PATH_SIZE, folder, name, WALK_PATH_MAX);
}

static int CopyOverExisting(const char* source, const char* destination) {
    char temporary[PATH_SIZE];
    for (unsigned attempt = 0; attempt < 16; attempt++) {
        if (!TemporaryName(destination, temporary, attempt))
            break;
        if (CopyFileA(source, temporary, TRUE)) {
            // Whole now: it takes the destination's place in one rename, and
            // the old destination is left as it was if that fails.
            DWORD old = GetFileAttributesA(destination);
            SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
            if (MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING))
                return 1;
            SetFileAttributesA(destination, old);
            DeleteFileA(temporary);
            return 0;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            // A copy that stopped part-way (a full disk, a read error) leaves
            // its partial file behind: never the destination's place.
            SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(temporary);
            return 0;
        }
    }
    // No temporary name fits beside a destination this deep: copied in place.
    SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    return CopyFileA(source, destination, FALSE);
}

// The date rule, deciding first from the times at hand: the source's from the
// folder search (or one query) and the destination's from one query. Only a
// file that looks due is opened as the full rule does it, so a locked source
// is still skipped and a locked destination that is due still fails loudly.
enum { NOT_DUE, DUE, DESTINATION_MISSING };
static int LooksDue(const char* source, const FILETIME* sourceTime, const char* destination) {
    WIN32_FILE_ATTRIBUTE_DATA target;
    if (!GetFileAttributesExA(destination, GetFileExInfoStandard, &target))
        return GetLastError() == ERROR_FILE_NOT_FOUND ? DESTINATION_MISSING : DUE;
    FILETIME known;
    if (!sourceTime) {
        WIN32_FILE_ATTRIBUTE_DATA from;
        if (!GetFileAttributesExA(source, GetFileExInfoStandard, &from))
            return DUE;
        known = from.ftLastWriteTime;
        sourceTime = &known;
    }
    return CompareFileTime(sourceTime, &target.ftLastWriteTime) > 0 ? DUE : NOT_DUE;
}

static void CopyOneFile(const char* source, const char* destination, int destinationMissing) {
    int ok;
    if (!destinationMissing && GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES) {
        ok = CopyOverExisting(source, destination);
    } else {
        ok = CopyFileA(source, destination, FALSE);
        // A new destination that failed part-way is not left half there.
        if (!ok && GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES) {
            SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(destination);
        }
    }
    if (ok)
        ShowProgress(1, destination);
    else
        ShowMessage(nullptr, destination, kCopyError, MB_OK);
}

int ReadFolderIdentity(const char* path, FolderIdentity* identity) {
    // Opened through any link, so the identity is that of the folder itself.
    HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int ok = GetFileInformationByHandle(folder, &info);
    CloseHandle(folder);
    if (!ok)
        return 0;
    identity->volume = info.dwVolumeSerialNumber;
    identity->index = ((uint64_t)info.nFileIndexHigh << 32) | info.nFileIndexLow;
    return 1;
}

// The folders above a path, outermost first ("C:\a\b" gives C:\ and C:\a).
static void PushAncestors(WalkChain& chain, const char* path) {
    char prefix[PATH_SIZE];
    size_t length = strlen(path);
    for (size_t i = 0; i < length && i + 1 < sizeof prefix; i++) {
        unsigned char c = (unsigned char)path[i];
        if (IsLeadByte932(c) && path[i + 1]) {
            i++;
            continue;
        }
        // A final "\" ends the path itself, which is not above it.
        if (c != '\\' || i + 1 == length)
            continue;
        memcpy(prefix, path, i + 1);
        prefix[i + 1] = '\0';
        FolderIdentity identity;
        if (ReadFolderIdentity(prefix, &identity))
            PushFolder(chain, identity);
    }
}

int FilerCore::CopyTree(const char* source, const char* destination, int force, CancelSource cancel) {
    WalkChain chain;
    chain.count = 0;
    PushAncestors(chain, source);
    return CopyWalk(source, destination, force, cancel, chain, nullptr);
}

int FilerCore::CopyWalk(const char* source, const char* destination, int force, CancelSource cancel,
                        WalkChain& chain, const WIN32_FIND_DATAA* entry) {
    // A walked entry brings its attributes and time from the folder search.
    DWORD attributes = entry ? entry->dwFileAttributes : GetFileAttributesA(source);
    const FILETIME* sourceTime = entry ? &entry->ftLastWriteTime : nullptr;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A source that is gone is a failed copy; nothing is created for it.
        ShowMessage(nullptr, destination, kCopyError, MB_OK);
        return 1;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A missing destination is due by the full rule too, with nothing to open.
        int due = force ? DUE : LooksDue(source, sourceTime, destination);
        if (due == DESTINATION_MISSING || (due == DUE && (force || IsCopyDue(source, destination))))
            CopyOneFile(source, destination, due == DESTINATION_MISSING);
        return 1;
    }
    // A folder that is already on the walk (a link to itself or to one of
    // its ancestors) would make the copy go round until the paths run out.
    FolderIdentity identity;
    int known = ReadFolderIdentity(source, &identity);
    if (known && IsOnWalk(chain, identity))
        return 1;
    DWORD existing = GetFileAttributesA(destination);
    if (existing == INVALID_FILE_ATTRIBUTES || !(existing & FILE_ATTRIBUTE_DIRECTORY))
        CreateDirectoryA(destination, nullptr);

    char pattern[PATH_SIZE];
    if (!SearchPattern(pattern, sizeof pattern, source)) {
        ReportPathTooLong(source, "*.*");
        return 0;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        // A drive root with nothing in it yields no entry at all: an empty folder.
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return 1;
        ShowMessage(nullptr, source, "CurrentDirectry Error", MB_OK);
        return 0;
    }
    int pushed = known && PushFolder(chain, identity);
    do {
        if (IsCancelled(cancel))
            break;
        if (found.cFileName[0] == '.')
            continue;
        char childSource[PATH_SIZE], childDestination[PATH_SIZE];
        if (!ChildPath(childSource, sizeof childSource, source, found.cFileName)) {
            ReportPathTooLong(source, found.cFileName);
            continue;
        }
        if (!ChildPath(childDestination, sizeof childDestination, destination, found.cFileName)) {
            ReportPathTooLong(destination, found.cFileName);
            continue;
        }
        ShowProgress(0, childSource);
        CopyWalk(childSource, childDestination, force, cancel, chain, &found);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (pushed)
        PopFolder(chain);
    return 1;
}

int FilerCore::CopyFolderContents(const char* sourceFolder, const char* destinationFolder, CancelSource cancel) {
    char source[PATH_SIZE], destination[PATH_SIZE];
    if (!CopyText(source, sizeof source, sourceFolder) || !CopyText(destination, sizeof destination, destinationFolder))
        return 0;
    TrimFolderPath(source);
    TrimFolderPath(destination);
    return CopyTree(source, destination, 0, cancel);
}

// 1 when a folder above the destination is the source itself, by name or,
// through a link, by identity.
static int IsDestinationInside(const char* source, const char* destination) {
    if (IsStrictlyInside(source, destination))
        return 1;
    DWORD attributes = GetFileAttributesA(source);
    FolderIdentity from;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !ReadFolderIdentity(source, &from))
        return 0;
    WalkChain above;
    above.count = 0;
    PushAncestors(above, destination);
    return IsOnWalk(above, from);
}

int RefuseCopyIntoItself(const char* source, const char* destination) {
    if (!IsDestinationInside(source, destination))
        return 0;
    char text[3 * PATH_SIZE];
    FormatText(text, sizeof text, "コピー先がコピー元の中にあります\r\n%s\r\n%s", source, destination);
    ShowMessage(nullptr, text, "CopyZ Folder ERROR", MB_OK);
    return 1;
}

int FilerCore::CopyPathsInto(const char (*paths)[PATH_SIZE], const char* folder, WORD count, CancelSource cancel) {
    for (WORD i = 0; i < count; i++) {
        const char* name = NameOfPath(paths[i]);
        char destination[PATH_SIZE];
        if (!ItemPath(destination, sizeof destination, folder, name, WALK_PATH_MAX)) {
            ReportPathTooLong(folder, name);
            continue;
        }
        if (RefuseCopyIntoItself(paths[i], destination))
            continue;
        CopyTree(paths[i], destination, 0, cancel);
    }
    return count;
}

int CopyVisitor(const char* firstFolder, const char* secondFolder, const char* name, int extra, LPARAM,
                CancelSource cancel) {
    char source[PATH_SIZE], destination[PATH_SIZE];
    if (!FormItemPaths(firstFolder, secondFolder, name, source, destination))
        return 1;
    ShowProgress(0, name);
    gCore->CopyTree(source, destination, extra, cancel);
    return 1;
}
