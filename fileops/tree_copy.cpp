#include "fileops/tree_copy.h"

#include <string.h>

#include <mutex>
#include <set>

#include "core/filer_core.h"
#include "base/cp932.h"
#include "base/scoped.h"
#include "base/text_buffer.h"
#include "fileops/file_commands.h"
#include "fileops/file_path.h"
#include "fileops/folder_entries.h"
#include "fileops/folder_handle.h"
#include "fileops/link_rule.h"
#include "fileops/progress.h"
#include "fileops/walk_paths.h"
#include "fileops/walk_sink.h"

static const char kCopyError[] = "CopyZ File ERROR";

// The last-write time of a file opened without sharing, as the date rule
// wants it; 0 when it can't be opened.
static int ReadWriteTime(const FilePath& path, FILETIME* time) {
    ScopedHandle file(OpenPath(path, GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    return file.Valid() && GetFileTime(file.Get(), nullptr, nullptr, time);
}

int IsCopyDue(const char* source, const char* destination) {
    FilePath from, to;
    if (!SetFilePath(&from, source) || !SetFilePath(&to, destination))
        return 0;
    return IsCopyDue(from, to);
}

int IsCopyDue(const FilePath& source, const FilePath& destination) {
    FILETIME destinationTime, sourceTime;
    if (!ReadWriteTime(destination, &destinationTime))
        return 1;
    if (!ReadWriteTime(source, &sourceTime))
        return 0;
    return CompareFileTime(&sourceTime, &destinationTime) > 0;
}

// A name beside the destination for the new copy until it is whole. It starts
// with a dot, so listings pass it over, and it is one IsOwnTemporaryName
// knows, so a walk can tell a left-over from the user's files. Where the long
// form passes the path limit, a short one (".~bk" and a digit) may still fit.
static int TemporaryName(const FilePath& destination, FilePath* temporary, unsigned attempt) {
    static volatile LONG counter;
    char name[32];
    FormatText(name, sizeof name, ".~bk%lx%x.tmp", GetCurrentProcessId() & 0xFFFF,
               (unsigned)InterlockedIncrement(&counter) + attempt);
    if (SiblingFilePath(temporary, destination, name, nullptr))
        return 1;
    FormatText(name, sizeof name, ".~bk%x", attempt);
    return SiblingFilePath(temporary, destination, name, nullptr);
}

// An unfinished copy carries the source's attributes: read-only ones would
// keep it from being deleted.
static void RemoveUnfinishedCopy(const FilePath& temporary) {
    SetAttributesOfPath(temporary, FILE_ATTRIBUTE_NORMAL);
    DeleteFileOfPath(temporary);
}

enum { NO_TEMPORARY_NAME = -1 };
// The copy is made whole beside the destination and only then takes its
// place: a copy that fails, or a process stopped dead part-way, leaves the
// older file as it was and never a partial file under the real name, which
// would be newer than its source and kept by every later update. 1 when done,
// 0 when the copy failed, NO_TEMPORARY_NAME when no temporary name fits.
static int CopyThroughTemporary(const FilePath& source, const FilePath& destination, int replace) {
    FilePath temporary;
    for (unsigned attempt = 0; attempt < 16; attempt++) {
        if (!TemporaryName(destination, &temporary, attempt))
            return attempt == 0 ? NO_TEMPORARY_NAME : 0;
        if (CopyFileOfPath(source, temporary, TRUE)) {
            DWORD old = replace ? AttributesOfPath(destination) : INVALID_FILE_ATTRIBUTES;
            if (replace)
                SetAttributesOfPath(destination, FILE_ATTRIBUTE_NORMAL);
            // A new file never replaces what appeared meanwhile under its name.
            if (MoveFileOfPath(temporary, destination, replace ? MOVEFILE_REPLACE_EXISTING : 0))
                return 1;
            if (replace)
                SetAttributesOfPath(destination, old);
            RemoveUnfinishedCopy(temporary);
            return 0;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            // A copy that stopped part-way (a full disk, a read error) leaves
            // its partial file behind: never the destination's place.
            RemoveUnfinishedCopy(temporary);
            return 0;
        }
    }
    return 0;
}

// Folders already cleared of left-overs by this process, by a hash of their
// path: a left-over comes from a copy stopped dead, so one sweep per folder
// and run is enough, and a selection of many files costs one search.
static std::set<uint64_t> gSwept;
static std::mutex gSweptLock;

// Left-over temporaries in the folder a copy writes into (a copy stopped dead
// part-way), removed the first time a copy writes there. One that another
// copy is writing at this moment is held open: it can't be deleted, and its
// attributes are left as they are.
static void SweepTemporaries(const FilePath& destination) {
    FilePath pattern;
    WCHAR key[PATH_SIZE];
    if (!SiblingFilePath(&pattern, destination, ".~bk*", nullptr) || !WideOfPath(pattern, key, PATH_SIZE))
        return;
    int fresh;
    {
        std::lock_guard<std::mutex> hold(gSweptLock);
        fresh = gSwept.insert(HashOfPlace(key)).second;
    }
    FoundEntry found;
    ScopedFind search(fresh ? FindFirstEntryOfPath(pattern, &found) : INVALID_HANDLE_VALUE);
    if (!search.Valid())
        return;
    do {
        DWORD attributes = found.found.dwFileAttributes;
        FilePath leftOver;
        if (!IsOwnTemporaryName(found.found.cFileName) ||
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            !SiblingFilePath(&leftOver, destination, found.found.cFileName, nullptr) ||
            DeleteFileOfPath(leftOver))
            continue;
        if (GetLastError() == ERROR_ACCESS_DENIED && (attributes & FILE_ATTRIBUTE_READONLY) &&
            SetAttributesOfPath(leftOver, FILE_ATTRIBUTE_NORMAL) && !DeleteFileOfPath(leftOver))
            SetAttributesOfPath(leftOver, attributes);
    } while (FindNextEntry(search.Get(), &found));
}

// A folder the walk has just made holds no left-over: the copies into it
// skip the search for them.
static void NoteSwept(const FilePath& folder) {
    FilePath pattern;
    WCHAR key[PATH_SIZE];
    if (!ChildFilePath(&pattern, folder, ".~bk*", nullptr) || !WideOfPath(pattern, key, PATH_SIZE))
        return;
    std::lock_guard<std::mutex> hold(gSweptLock);
    gSwept.insert(HashOfPlace(key));
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
    // A folder in the file's place, however new, is a copy that can't be made.
    if (target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return DUE;
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

// A new file copied under its own name, not left half there when that fails;
// never over a file that appeared meanwhile.
static int CopyStraight(const FilePath& source, const FilePath& destination) {
    if (CopyFileOfPath(source, destination, TRUE))
        return 1;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
        RemoveUnfinishedCopy(destination);
    return 0;
}

static void CopyOneFile(const FilePath& source, const FilePath& destination, int destinationMissing,
                        WalkSink& sink) {
    SweepTemporaries(destination);
    int ok;
    DWORD existing = destinationMissing ? INVALID_FILE_ATTRIBUTES : AttributesOfPath(destination);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) {
        ok = 0; // a file can't take a folder's place
    } else {
        int replace = existing != INVALID_FILE_ATTRIBUTES;
        ok = CopyThroughTemporary(source, destination, replace);
        // An existing file is never copied over in place. A new one whose
        // folder leaves no room for a temporary name is copied straight, and
        // not left half there when that fails.
        if (ok == NO_TEMPORARY_NAME)
            ok = !replace && CopyStraight(source, destination);
    }
    if (ok > 0)
        sink.Progress(1, destination.text);
    else
        sink.Failed(destination.text, kCopyError);
}

int ReadFolderIdentity(const char* path, FolderIdentity* identity) {
    FilePath folder;
    return SetFilePath(&folder, path) && ReadFolderIdentity(folder, identity);
}

// A folder opened for its facts, through any link: what is read is the
// folder itself.
static HANDLE OpenFolderItself(const FilePath& path) {
    return OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
}

int ReadFolderIdentity(const FilePath& path, FolderIdentity* identity) {
    ScopedHandle folder(OpenFolderItself(path));
    return folder.Valid() && IdentityOfHandle(folder.Get(), identity);
}

// A folder the walk has just made lies on the volume of the folder it was
// made in: where the walk knows that one, only the new folder's index is read.
static int ReadMadeIdentity(const FilePath& path, CopyWalkState& walk, FolderIdentity* identity) {
    if (walk.fillingKnown) {
        ScopedHandle folder(OpenFolderItself(path));
        if (folder.Valid() && IdentityOnVolume(folder.Get(), walk.fillingVolume, identity))
            return 1;
    }
    if (!ReadFolderIdentity(path, identity))
        return 0;
    // Its siblings, made in the same folder, lie on the same volume.
    walk.fillingKnown = 1;
    walk.fillingVolume = identity->volume;
    return 1;
}

// The whole identities of the folders on the walk known by this index alone,
// read through the handles their walks hold open. One that can't be read stays
// compared with nothing, as a folder of unreadable identity always was.
static void CompleteChain(WalkChain& chain, uint64_t index) {
    for (int i = 0; i < chain.count; i++) {
        FolderIdentity identity;
        if (!chain.whole[i] && chain.folders[i].index == index &&
            IdentityOfHandle((HANDLE)chain.opened[i], &identity)) {
            chain.folders[i] = identity;
            chain.whole[i] = 1;
        }
    }
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
    for (size_t i = 0, step; i + 1 < sizeof prefix && (step = CharLength932(text + i)) != 0; i += step) {
        // A final "\\" ends the path itself, which is not above it.
        if (step != 1 || text[i] != '\\' || i + 1 == length)
            continue;
        memcpy(prefix, text, i + 1);
        prefix[i + 1] = '\0';
        if (ReadFolderIdentity(prefix, &identity))
            PushFolder(chain, identity);
    }
}

static int CopyWalk(const FilePath& source, const FilePath& destination, int force, CancelSource cancel,
                    WalkSink& sink, CopyWalkState& walk, const WIN32_FIND_DATAA* entry);

int CopyTree(const char* source, const char* destination, int force, CancelSource cancel, WalkSink& sink) {
    FilePath from, to;
    if (!SetFilePath(&from, source) || !SetFilePath(&to, destination))
        return 0;
    return CopyTree(from, to, force, cancel, sink);
}

int CopyTree(const FilePath& source, const FilePath& destination, int force, CancelSource cancel,
             WalkSink& sink) {
    CopyWalkState walk;
    walk.chain.count = 0;
    // Only a folder can lead round to the folders above it.
    DWORD attributes = AttributesOfPath(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        PushAncestors(walk.chain, source);
    return CopyWalk(source, destination, force, cancel, sink, walk, nullptr);
}

static int CopyWalk(const FilePath& source, const FilePath& destination, int force, CancelSource cancel,
                    WalkSink& sink, CopyWalkState& walk, const WIN32_FIND_DATAA* entry) {
    // A walked entry brings its attributes and time from the folder search.
    DWORD attributes = entry ? entry->dwFileAttributes : AttributesOfPath(source);
    const FILETIME* sourceTime = entry ? &entry->ftLastWriteTime : nullptr;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A source that is gone is a failed copy; nothing is created for it.
        sink.Failed(destination.text, kCopyError);
        return 1;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A missing destination is due by the full rule too, with nothing to open.
        int due = force ? DUE : LooksDue(source, sourceTime, destination);
        if (due == DESTINATION_MISSING || (due == DUE && (force || IsCopyDue(source, destination))))
            CopyOneFile(source, destination, due == DESTINATION_MISSING, sink);
        return 1;
    }
    // The folder is opened once, for its identity and its entries; where it
    // can't be opened so, each is read by itself as before. Its index comes
    // first: only a folder whose index one on the walk or made by it shares
    // can be one of them, and only then is the rest read, of both.
    ScopedHandle folder(OpenFolderToList(source));
    FolderIdentity identity;
    int whole = 0, known = folder.Valid() && IndexOfHandle(folder.Get(), &identity.index);
    if (!known || SharesIndex(walk, identity.index)) {
        known = folder.Valid() ? IdentityOfHandle(folder.Get(), &identity)
                               : ReadFolderIdentity(source, &identity);
        whole = known;
        if (known)
            CompleteChain(walk.chain, identity.index);
    }
    // A folder that is already on the walk (a link to itself or to one of
    // its ancestors) would make the copy go round until the paths run out.
    if (whole && (IsOnWalk(walk.chain, identity) || WasMadeByWalk(walk, identity)))
        return 1;
    DWORD existing = AttributesOfPath(destination);
    FolderIdentity made;
    int madeKnown = 0;
    if ((existing == INVALID_FILE_ATTRIBUTES || !(existing & FILE_ATTRIBUTE_DIRECTORY)) &&
        CreateFolderOfPath(destination)) {
        NoteSwept(destination);
        madeKnown = ReadMadeIdentity(destination, walk, &made);
        if (madeKnown)
            NoteMadeByWalk(walk, made);
    }
    // What is made in this destination lies on its volume.
    int fillingKnown = walk.fillingKnown;
    uint32_t fillingVolume = walk.fillingVolume;
    walk.fillingKnown = madeKnown;
    walk.fillingVolume = madeKnown ? made.volume : 0;

    int pushed = known && (whole ? PushFolder(walk.chain, identity)
                                 : PushFolderIndex(walk.chain, identity.index, folder.Get()));
    DWORD error = ForEachEntry(
        source, folder.Get(), cancel, sink, [&](const FoundEntry& found, const FilePath& childSource) {
            // The copy keeps the real name: the same name on both sides.
            const char* name = found.found.cFileName;
            // A copy's left-over in the source is nobody's data.
            if (IsOwnTemporaryName(name) && !(found.found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return;
            FilePath childDestination;
            if (!ChildFilePath(&childDestination, destination, name, RealNameOf(found))) {
                sink.PathTooLong(destination.text, name);
                return;
            }
            sink.Progress(0, childSource.text);
            CopyWalk(childSource, childDestination, force, cancel, sink, walk, &found.found);
        });
    if (pushed)
        PopFolder(walk.chain);
    walk.fillingKnown = fillingKnown;
    walk.fillingVolume = fillingVolume;
    if (error == ERROR_FILENAME_EXCED_RANGE) {
        sink.PathTooLong(source.text, "*.*");
        return 0;
    }
    // A drive root with nothing in it yields no entry at all: an empty folder.
    if (error && error != ERROR_FILE_NOT_FOUND) {
        sink.Failed(source.text, "CurrentDirectry Error");
        return 0;
    }
    return 1;
}

int CopyFolderContents(const char* sourceFolder, const char* destinationFolder, CancelSource cancel,
                       WalkSink& sink) {
    char source[PATH_SIZE], destination[PATH_SIZE];
    if (!CopyText(source, sizeof source, sourceFolder) ||
        !CopyText(destination, sizeof destination, destinationFolder))
        return 0;
    TrimFolderPath(source);
    TrimFolderPath(destination);
    return CopyTree(source, destination, 0, cancel, sink);
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

// The folder above a path ("C:\\a\\b" or "C:\\a\\b\\" gives "C:\\a\\"), in
// both forms; 0 at a root.
static int CutLastName(FilePath* path) {
    char text[PATH_SIZE];
    CopyText(text, sizeof text, path->text);
    if (EndsWithSeparator(text))
        text[strlen(text) - 1] = '\0';
    int cut = FindLastSeparator(text);
    if (cut < 0)
        return 0;
    text[cut + 1] = '\0';
    if (IsWidePath(*path)) {
        int wide = lstrlenW(path->wide);
        if (wide > 0 && path->wide[wide - 1] == L'\\')
            wide--;
        while (wide > 0 && path->wide[wide - 1] != L'\\')
            wide--;
        if (wide == 0)
            return 0;
        path->wide[wide] = 0;
    }
    CopyText(path->text, sizeof path->text, text);
    return 1;
}

// Where an existing folder really is: its path with every link on it
// resolved, as a wide path; 0 when the system can't say.
static int ResolvedFolderPath(const FilePath& path, FilePath* real) {
    ScopedHandle folder(OpenFolderItself(path));
    if (!folder.Valid())
        return 0;
    WCHAR whole[2 * PATH_SIZE];
    DWORD n =
        GetFinalPathNameByHandleW(folder.Get(), whole, 2 * PATH_SIZE, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= 2 * PATH_SIZE)
        return 0;
    const WCHAR* p = whole;
    real->text[0] = '\0';
    real->wide[0] = 0;
    if (wcsncmp(p, L"\\\\?\\UNC\\", 8) == 0) {
        p += 8; // "\\?\UNC\server" is "\\server"
        lstrcpyW(real->wide, L"\\\\");
    } else if (wcsncmp(p, L"\\\\?\\", 4) == 0) {
        p += 4;
    }
    int have = lstrlenW(real->wide);
    if (have + lstrlenW(p) >= PATH_SIZE)
        return 0;
    lstrcpyW(real->wide + have, p);
    return 1;
}

// 1 when the destination lies below the source: by name, or, however links
// lead there, by identity. A destination that is the source itself is not
// inside it (both panes on one folder: nothing is due, nothing is copied).
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
    if (IsOnWalk(above, from))
        return 1;
    // The part of the destination that exists, and the folders really above it.
    FilePath existing = destination;
    int cut = 0;
    while (AttributesOfPath(existing) == INVALID_FILE_ATTRIBUTES && CutLastName(&existing))
        cut = 1;
    FolderIdentity here;
    if (cut && ReadFolderIdentity(existing, &here) && SameFolder(here, from))
        return 1;
    FilePath real;
    if (!ResolvedFolderPath(existing, &real))
        return 0;
    above.count = 0;
    PushAncestors(above, real);
    return IsOnWalk(above, from);
}

int IsSameOrInsideFolder(const FilePath& outer, const FilePath& inner) {
    FolderIdentity a, b;
    if (ReadFolderIdentity(outer, &a) && ReadFolderIdentity(inner, &b) && SameFolder(a, b))
        return 1;
    return IsDestinationInside(outer, inner);
}

int RefuseCopyIntoItself(const FilePath& source, const FilePath& destination, WalkSink& sink) {
    if (!IsDestinationInside(source, destination))
        return 0;
    char text[3 * PATH_SIZE];
    FormatText(text, sizeof text, "コピー先がコピー元の中にあります\r\n%s\r\n%s", source.text,
               destination.text);
    sink.Failed(text, "CopyZ Folder ERROR");
    return 1;
}

int RefuseCopyIntoItself(const char* source, const char* destination, WalkSink& sink) {
    FilePath from, to;
    if (!SetFilePath(&from, source) || !SetFilePath(&to, destination))
        return 0;
    return RefuseCopyIntoItself(from, to, sink);
}

int RefuseNamelessEntry(const FilePath& entry, WalkSink& sink) {
    if (NameOfPath(entry.text)[0] != '\0' && (!IsWidePath(entry) || NameOfWidePath(entry.wide)[0] != 0))
        return 0;
    char text[PATH_SIZE + 64];
    FormatText(text, sizeof text, "%s\r\n名前のない項目はコピーできません", entry.text);
    sink.Failed(text, kCopyError);
    return 1;
}

int CopyPathsInto(const FilePath* paths, const char* folder, WORD count, CancelSource cancel,
                  WalkSink& sink) {
    for (WORD i = 0; i < count; i++) {
        // A drive root has no name to copy it under: its copy would be the
        // destination folder itself.
        if (RefuseNamelessEntry(paths[i], sink))
            continue;
        const char* name = NameOfPath(paths[i].text);
        const WCHAR* realName = IsWidePath(paths[i]) ? NameOfWidePath(paths[i].wide) : nullptr;
        FilePath destination;
        if (!ItemFilePath(&destination, folder, name, realName, WALK_PATH_MAX)) {
            sink.PathTooLong(folder, name);
            continue;
        }
        if (RefuseCopyIntoItself(paths[i], destination, sink))
            continue;
        if (IsCancelled(cancel))
            break;
        sink.Progress(0, name);
        CopyTree(paths[i], destination, 0, cancel, sink);
    }
    return count;
}

int CopyVisitor(const char* firstFolder, const char* secondFolder, const SelectedItem& item,
                const WalkRun& run) {
    FilePath source, destination;
    if (!FormItemPaths(firstFolder, secondFolder, item, &source, &destination, run.sink))
        return 1;
    run.sink.Progress(0, item.name);
    CopyTree(source, destination, 0, run.cancel, run.sink);
    return 1;
}
