#include "fileops/tree_copy.h"

#include <string.h>

#include "app/prompts.h"
#include "assoc/filer_core.h"
#include "base/cp932.h"
#include "base/text_buffer.h"
#include "fileops/file_path.h"
#include "fileops/link_rule.h"
#include "fileops/progress.h"
#include "fileops/walk_paths.h"

static const char kCopyError[] = "CopyZ File ERROR";

// The last-write time of a file opened without sharing, as the date rule
// wants it; 0 when it can't be opened.
static int ReadWriteTime(const FilePath& path, FILETIME* time) {
    HANDLE file = OpenPath(path, GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int ok = GetFileTime(file, nullptr, nullptr, time);
    CloseHandle(file);
    return ok;
}

int FilerCore::IsCopyDue(const char* source, const char* destination) {
    FilePath from, to;
    if (!SetFilePath(&from, source) || !SetFilePath(&to, destination))
        return 0;
    return IsCopyDue(from, to);
}

int FilerCore::IsCopyDue(const FilePath& source, const FilePath& destination) {
    FILETIME destinationTime, sourceTime;
    if (!ReadWriteTime(destination, &destinationTime))
        return 1;
    if (!ReadWriteTime(source, &sourceTime))
        return 0;
    return CompareFileTime(&sourceTime, &destinationTime) > 0;
}

// A name beside the destination for the new copy until it is whole. It starts
// with a dot, so listings and walks pass it over.
static int TemporaryName(const FilePath& destination, FilePath* temporary, unsigned attempt) {
    static volatile LONG counter;
    char name[32];
    FormatText(name, sizeof name, ".~bk%lx%x.tmp", GetCurrentProcessId() & 0xFFFF,
               (unsigned)InterlockedIncrement(&counter) + attempt);
    return SiblingFilePath(temporary, destination, name, nullptr);
}

static int CopyOverExisting(const FilePath& source, const FilePath& destination) {
    FilePath temporary;
    for (unsigned attempt = 0; attempt < 16; attempt++) {
        if (!TemporaryName(destination, &temporary, attempt))
            break;
        if (CopyFileOfPath(source, temporary, TRUE)) {
            // Whole now: it takes the destination's place in one rename, and
            // the old destination is left as it was if that fails.
            DWORD old = AttributesOfPath(destination);
            SetAttributesOfPath(destination, FILE_ATTRIBUTE_NORMAL);
            if (MoveFileOfPath(temporary, destination, MOVEFILE_REPLACE_EXISTING))
                return 1;
            SetAttributesOfPath(destination, old);
            DeleteFileOfPath(temporary);
            return 0;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            // A copy that stopped part-way (a full disk, a read error) leaves
            // its partial file behind: never the destination's place.
            SetAttributesOfPath(temporary, FILE_ATTRIBUTE_NORMAL);
            DeleteFileOfPath(temporary);
            return 0;
        }
    }
    // No temporary name fits beside a destination this deep: copied in place.
    SetAttributesOfPath(destination, FILE_ATTRIBUTE_NORMAL);
    return CopyFileOfPath(source, destination, FALSE);
}

// The date rule, deciding first from the times at hand: the source's from the
// folder search (or one query) and the destination's from one query. Only a
// file that looks due is opened as the full rule does it, so a locked source
// is still skipped and a locked destination that is due still fails loudly.
enum { NOT_DUE, DUE, DESTINATION_MISSING };
static int LooksDue(const FilePath& source, const FILETIME* sourceTime, const FilePath& destination) {
    WIN32_FILE_ATTRIBUTE_DATA target;
    if (!AttributeDataOfPath(destination, &target))
        return GetLastError() == ERROR_FILE_NOT_FOUND ? DESTINATION_MISSING : DUE;
    FILETIME known;
    if (!sourceTime) {
        WIN32_FILE_ATTRIBUTE_DATA from;
        if (!AttributeDataOfPath(source, &from))
            return DUE;
        known = from.ftLastWriteTime;
        sourceTime = &known;
    }
    return CompareFileTime(sourceTime, &target.ftLastWriteTime) > 0 ? DUE : NOT_DUE;
}

static void CopyOneFile(const FilePath& source, const FilePath& destination, int destinationMissing) {
    int ok;
    if (!destinationMissing && AttributesOfPath(destination) != INVALID_FILE_ATTRIBUTES) {
        ok = CopyOverExisting(source, destination);
    } else {
        ok = CopyFileOfPath(source, destination, FALSE);
        // A new destination that failed part-way is not left half there.
        if (!ok && AttributesOfPath(destination) != INVALID_FILE_ATTRIBUTES) {
            SetAttributesOfPath(destination, FILE_ATTRIBUTE_NORMAL);
            DeleteFileOfPath(destination);
        }
    }
    if (ok)
        ShowProgress(1, destination.text);
    else
        ShowMessage(nullptr, destination.text, kCopyError, MB_OK);
}

int ReadFolderIdentity(const char* path, FolderIdentity* identity) {
    FilePath folder;
    return SetFilePath(&folder, path) && ReadFolderIdentity(folder, identity);
}

int ReadFolderIdentity(const FilePath& path, FolderIdentity* identity) {
    // Opened through any link, so the identity is that of the folder itself.
    HANDLE folder =
        OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
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

// The folders above a path, outermost first ("C:\\a\\b" gives C:\\ and C:\\a).
static void PushAncestors(WalkChain& chain, const FilePath& path) {
    FolderIdentity identity;
    if (IsWidePath(path)) {
        FilePath prefix;
        prefix.text[0] = '\0';
        int length = lstrlenW(path.wide);
        for (int i = 0; i + 1 < length; i++) {
            if (path.wide[i] != L'\\')
                continue;
            memcpy(prefix.wide, path.wide, (size_t)(i + 1) * sizeof(WCHAR));
            prefix.wide[i + 1] = 0;
            if (ReadFolderIdentity(prefix, &identity))
                PushFolder(chain, identity);
        }
        return;
    }
    const char* text = path.text;
    char prefix[PATH_SIZE];
    size_t length = strlen(text);
    for (size_t i = 0; i < length && i + 1 < sizeof prefix; i++) {
        unsigned char c = (unsigned char)text[i];
        if (IsLeadByte932(c) && text[i + 1]) {
            i++;
            continue;
        }
        // A final "\\" ends the path itself, which is not above it.
        if (c != '\\' || i + 1 == length)
            continue;
        memcpy(prefix, text, i + 1);
        prefix[i + 1] = '\0';
        if (ReadFolderIdentity(prefix, &identity))
            PushFolder(chain, identity);
    }
}

int FilerCore::CopyTree(const char* source, const char* destination, int force, CancelSource cancel) {
    FilePath from, to;
    if (!SetFilePath(&from, source) || !SetFilePath(&to, destination))
        return 0;
    return CopyTree(from, to, force, cancel);
}

int FilerCore::CopyTree(const FilePath& source, const FilePath& destination, int force, CancelSource cancel) {
    WalkChain chain;
    chain.count = 0;
    PushAncestors(chain, source);
    return CopyWalk(source, destination, force, cancel, chain, nullptr);
}

int FilerCore::CopyWalk(const FilePath& source, const FilePath& destination, int force, CancelSource cancel,
                        WalkChain& chain, const WIN32_FIND_DATAA* entry) {
    // A walked entry brings its attributes and time from the folder search.
    DWORD attributes = entry ? entry->dwFileAttributes : AttributesOfPath(source);
    const FILETIME* sourceTime = entry ? &entry->ftLastWriteTime : nullptr;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A source that is gone is a failed copy; nothing is created for it.
        ShowMessage(nullptr, destination.text, kCopyError, MB_OK);
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
    DWORD existing = AttributesOfPath(destination);
    if (existing == INVALID_FILE_ATTRIBUTES || !(existing & FILE_ATTRIBUTE_DIRECTORY))
        CreateFolderOfPath(destination);

    FoundEntry found;
    HANDLE search = FindFirstEntry(source, &found);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILENAME_EXCED_RANGE) {
            ReportPathTooLong(source.text, "*.*");
            return 0;
        }
        // A drive root with nothing in it yields no entry at all: an empty folder.
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return 1;
        ShowMessage(nullptr, source.text, "CurrentDirectry Error", MB_OK);
        return 0;
    }
    int pushed = known && PushFolder(chain, identity);
    do {
        if (IsCancelled(cancel))
            break;
        const char* name = found.found.cFileName;
        if (name[0] == '.')
            continue;
        // The copy keeps the real name: the same name on both sides.
        FilePath childSource, childDestination;
        if (!ChildFilePath(&childSource, source, name, RealNameOf(found))) {
            ReportPathTooLong(source.text, name);
            continue;
        }
        if (!ChildFilePath(&childDestination, destination, name, RealNameOf(found))) {
            ReportPathTooLong(destination.text, name);
            continue;
        }
        ShowProgress(0, childSource.text);
        CopyWalk(childSource, childDestination, force, cancel, chain, &found.found);
    } while (FindNextEntry(search, &found));
    FindClose(search);
    if (pushed)
        PopFolder(chain);
    return 1;
}

int FilerCore::CopyFolderContents(const char* sourceFolder, const char* destinationFolder,
                                  CancelSource cancel) {
    char source[PATH_SIZE], destination[PATH_SIZE];
    if (!CopyText(source, sizeof source, sourceFolder) ||
        !CopyText(destination, sizeof destination, destinationFolder))
        return 0;
    TrimFolderPath(source);
    TrimFolderPath(destination);
    return CopyTree(source, destination, 0, cancel);
}

// IsStrictlyInside by the real paths, where "?" in the texts may stand for
// different characters.
static int IsRealPathInside(const FilePath& outer, const FilePath& inner) {
    WCHAR above[PATH_SIZE], below[PATH_SIZE];
    if (!WideOfPath(outer, above, PATH_SIZE) || !WideOfPath(inner, below, PATH_SIZE))
        return 0;
    int n = lstrlenW(above);
    while (n > 0 && above[n - 1] == L'\\')
        n--;
    return n > 0 && lstrlenW(below) > n + 1 && below[n] == L'\\' &&
           CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, above, n, below, n) == CSTR_EQUAL;
}

// 1 when a folder above the destination is the source itself, by name or,
// through a link, by identity.
static int IsDestinationInside(const FilePath& source, const FilePath& destination) {
    int wide = IsWidePath(source) || IsWidePath(destination);
    if (wide ? IsRealPathInside(source, destination) : IsStrictlyInside(source.text, destination.text))
        return 1;
    DWORD attributes = AttributesOfPath(source);
    FolderIdentity from;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !ReadFolderIdentity(source, &from))
        return 0;
    WalkChain above;
    above.count = 0;
    PushAncestors(above, destination);
    return IsOnWalk(above, from);
}

int RefuseCopyIntoItself(const FilePath& source, const FilePath& destination) {
    if (!IsDestinationInside(source, destination))
        return 0;
    char text[3 * PATH_SIZE];
    FormatText(text, sizeof text, "コピー先がコピー元の中にあります\r\n%s\r\n%s", source.text,
               destination.text);
    ShowMessage(nullptr, text, "CopyZ Folder ERROR", MB_OK);
    return 1;
}

int RefuseCopyIntoItself(const char* source, const char* destination) {
    FilePath from, to;
    if (!SetFilePath(&from, source) || !SetFilePath(&to, destination))
        return 0;
    return RefuseCopyIntoItself(from, to);
}

int FilerCore::CopyPathsInto(const FilePath* paths, const char* folder, WORD count, CancelSource cancel) {
    for (WORD i = 0; i < count; i++) {
        const char* name = NameOfPath(paths[i].text);
        const WCHAR* realName = IsWidePath(paths[i]) ? NameOfWidePath(paths[i].wide) : nullptr;
        FilePath destination;
        if (!ItemFilePath(&destination, folder, name, realName, WALK_PATH_MAX)) {
            ReportPathTooLong(folder, name);
            continue;
        }
        if (RefuseCopyIntoItself(paths[i], destination))
            continue;
        CopyTree(paths[i], destination, 0, cancel);
    }
    return count;
}

int CopyVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item, int extra,
                CancelSource cancel) {
    FilePath source, destination;
    if (!FormItemPaths(firstFolder, secondFolder, item, &source, &destination))
        return 1;
    ShowProgress(0, item.name);
    gCore->CopyTree(source, destination, extra, cancel);
    return 1;
}
