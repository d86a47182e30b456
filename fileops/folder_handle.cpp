#include "fileops/folder_handle.h"

#include <stdlib.h>
#include <string.h>
#include <winternl.h>

#include "fileops/link_rule.h"

HANDLE OpenFolderToList(const FilePath& path) {
    // Without sharing the right to delete, as a search opens it: while the
    // walk is inside, nobody renames or removes the folder from under it.
    return OpenPath(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
}

// Where the volume gives no serial, the resolved path tells folders of two
// file systems apart; unreadable, the folder keeps the identity the system gives.
static void ReadPlace(HANDLE handle, FolderIdentity* identity) {
    identity->place = 0;
    if (identity->volume != 0)
        return;
    WCHAR place[2 * PATH_SIZE];
    DWORD n = GetFinalPathNameByHandleW(handle, place, 2 * PATH_SIZE, FILE_NAME_NORMALIZED);
    if (n > 0 && n < 2 * PATH_SIZE)
        identity->place = HashOfPlace(place);
}

int IdentityOfHandle(HANDLE handle, FolderIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return 0;
    identity->volume = info.dwVolumeSerialNumber;
    identity->index = ((uint64_t)info.nFileIndexHigh << 32) | info.nFileIndexLow;
    ReadPlace(handle, identity);
    return 1;
}

int IndexOfHandle(HANDLE handle, uint64_t* index) {
    IO_STATUS_BLOCK status;
    FILE_INTERNAL_INFORMATION internal;
    if (!NT_SUCCESS(
            NtQueryInformationFile(handle, &status, &internal, sizeof internal, FileInternalInformation)))
        return 0;
    *index = (uint64_t)internal.IndexNumber.QuadPart;
    return 1;
}

int IdentityOnVolume(HANDLE handle, uint32_t volume, FolderIdentity* identity) {
    if (!IndexOfHandle(handle, &identity->index))
        return 0;
    identity->volume = volume;
    ReadPlace(handle, identity);
    return 1;
}

// Most folders fit in one block, so most are listed by one call.
enum { LIST_BLOCK_SIZE = 64 * 1024 };

static void CopyName(WCHAR* out, size_t capacity, const WCHAR* name, DWORD bytes) {
    size_t length = bytes / sizeof(WCHAR);
    if (length >= capacity)
        length = capacity - 1;
    memcpy(out, name, length * sizeof(WCHAR));
    out[length] = 0;
}

static FILETIME TimeOf(const LARGE_INTEGER& time) {
    FILETIME out = {time.LowPart, (DWORD)time.HighPart};
    return out;
}

// One listed record as the search's find data: a link's tag in dwReserved0.
static void ReadRecord(const FILE_ID_BOTH_DIR_INFO& record, FoundEntry* entry) {
    WIN32_FIND_DATAW wide;
    wide.dwFileAttributes = record.FileAttributes;
    wide.ftCreationTime = TimeOf(record.CreationTime);
    wide.ftLastAccessTime = TimeOf(record.LastAccessTime);
    wide.ftLastWriteTime = TimeOf(record.LastWriteTime);
    wide.nFileSizeHigh = (DWORD)(record.EndOfFile.QuadPart >> 32);
    wide.nFileSizeLow = (DWORD)record.EndOfFile.QuadPart;
    wide.dwReserved0 = (record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? record.EaSize : 0;
    wide.dwReserved1 = 0;
    CopyName(wide.cFileName, MAX_PATH, record.FileName, record.FileNameLength);
    CopyName(wide.cAlternateFileName, 14, record.ShortName, (DWORD)(BYTE)record.ShortNameLength);
    ReadFoundEntry(wide, entry);
}

EntrySearch::~EntrySearch() {
    free(block_);
    if (search_ != INVALID_HANDLE_VALUE)
        FindClose(search_);
}

int EntrySearch::ReadBlock() {
    record_ = nullptr;
    if (!GetFileInformationByHandleEx(opened_, FileIdBothDirectoryInfo, block_, LIST_BLOCK_SIZE))
        return 0;
    record_ = (const FILE_ID_BOTH_DIR_INFO*)block_;
    return 1;
}

DWORD EntrySearch::First(FoundEntry* entry) {
    if (opened_ != INVALID_HANDLE_VALUE && (block_ = (BYTE*)malloc(LIST_BLOCK_SIZE)) != nullptr &&
        ReadBlock()) {
        ReadRecord(*record_, entry);
        return 0;
    }
    // Whatever kept the handle from listing, the search says it as it always has.
    search_ = FindFirstEntry(folder_, entry);
    return search_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

int EntrySearch::Next(FoundEntry* entry) {
    if (search_ != INVALID_HANDLE_VALUE)
        return FindNextEntry(search_, entry);
    if (!record_)
        return 0;
    if (record_->NextEntryOffset)
        record_ = (const FILE_ID_BOTH_DIR_INFO*)((const BYTE*)record_ + record_->NextEntryOffset);
    else if (!ReadBlock())
        return 0;
    ReadRecord(*record_, entry);
    return 1;
}
