// Links in walks: a folder met through a link is entered only when it is not
// already on the walk. Folders are compared by identity (volume serial and
// file index), never by name. Where the system gives no serial (every Linux
// file system under Wine reads as volume 0, and their file indexes repeat),
// the folder's resolved path tells folders of two file systems apart.
// Window-free.
#pragma once
#include <stdint.h>

#include <set>

struct FolderIdentity {
    uint32_t volume;
    uint64_t index;
    uint64_t place = 0; // a hash of the resolved path where volume is 0
    bool operator<(const FolderIdentity& other) const {
        return volume != other.volume ? volume < other.volume
               : index != other.index ? index < other.index
                                      : place < other.place;
    }
};
// The hash that stands for a resolved path, over its UTF-16 units.
uint64_t HashOfPlace(const wchar_t* path);

// The folders a walk is in: the start folder's ancestors, the start folder,
// and every folder on the current path below it. A folder the walk entered
// may be known by its index alone (whole 0), with the handle its walk holds
// open on it (opened) to read the rest once another folder shares that index.
struct WalkChain {
    enum { CAPACITY = 160 }; // a 259-byte path has at most 130 levels
    FolderIdentity folders[CAPACITY];
    int whole[CAPACITY];
    void* opened[CAPACITY];
    int count;
};

// A copy's walk: where it is, and the folders it has made so far. However a
// link leads it there, a copy never walks into a folder it made itself.
struct CopyWalkState {
    WalkChain chain;
    std::set<FolderIdentity> made;
    std::set<uint64_t> madeIndexes;
    // The volume of the destination folder being filled, once the walk knows
    // it: a folder made in it lies on it.
    int fillingKnown = 0;
    uint32_t fillingVolume = 0;
};

int SameFolder(const FolderIdentity& a, const FolderIdentity& b);
int WasMadeByWalk(const CopyWalkState& state, const FolderIdentity& folder);
void NoteMadeByWalk(CopyWalkState& state, const FolderIdentity& folder);
// 1 when the folder is on the walk already: entering it would go round in a
// circle. Folders known by their index alone are not compared.
int IsOnWalk(const WalkChain& chain, const FolderIdentity& folder);
// 1 when a folder of this index is on the walk or was made by it: only then
// must a folder's whole identity be read to tell it from them.
int SharesIndex(const CopyWalkState& state, uint64_t index);
// 0 when the chain is full (a deeper walk than any path allows).
int PushFolder(WalkChain& chain, const FolderIdentity& folder);
int PushFolderIndex(WalkChain& chain, uint64_t index, void* opened);
void PopFolder(WalkChain& chain);
