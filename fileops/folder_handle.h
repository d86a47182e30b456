// A folder a walk opens once: its identity and its entries are read through
// one handle, where an identity read and a search would each open it again.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "fileops/file_path.h"

struct FolderIdentity;

// The folder opened to read its identity and its entries, through any link,
// shared as a search shares it; INVALID_HANDLE_VALUE when it can't be opened so.
HANDLE OpenFolderToList(const FilePath& path);
// The identity of what a handle is open on: volume serial and file index, and
// where the volume gives no serial, a hash of its resolved path. 0 when unreadable.
int IdentityOfHandle(HANDLE handle, FolderIdentity* identity);
// The file index alone, the one GetFileInformationByHandle gives, without the
// volume query that is most of the cost of an identity read.
int IndexOfHandle(HANDLE handle, uint64_t* index);
// IdentityOfHandle of a folder known to lie on the given volume, its index
// read as IndexOfHandle reads it.
int IdentityOnVolume(HANDLE handle, uint32_t volume, FolderIdentity* identity);

// The entries of a folder, as FindFirstEntry gives them and in its order:
// through the folder's open handle where the system lists it so, otherwise
// (no handle, an older system, a file system without that listing) by a
// search of its path, which then gives its own error.
class EntrySearch {
  public:
    EntrySearch(const FilePath& folder, HANDLE opened) : folder_(folder), opened_(opened) {}
    ~EntrySearch();
    EntrySearch(const EntrySearch&) = delete;
    EntrySearch& operator=(const EntrySearch&) = delete;

    // 0 with the first entry read; else the search's error.
    DWORD First(FoundEntry* entry);
    int Next(FoundEntry* entry);

  private:
    int ReadBlock();

    const FilePath& folder_;
    HANDLE opened_;
    HANDLE search_ = INVALID_HANDLE_VALUE;
    BYTE* block_ = nullptr;
    const FILE_ID_BOTH_DIR_INFO* record_ = nullptr;
};
