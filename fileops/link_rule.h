// Links in walks: a folder met through a link is entered only when it is not
// already on the walk. Folders are compared by identity (volume serial and
// file index), never by name. Window-free.
#pragma once
#include <stdint.h>

#include <set>
#include <utility>

struct FolderIdentity {
    uint32_t volume;
    uint64_t index;
};

// The folders a walk is in: the start folder's ancestors, the start folder,
// and every folder on the current path below it.
struct WalkChain {
    enum { CAPACITY = 160 }; // a 259-byte path has at most 130 levels
    FolderIdentity folders[CAPACITY];
    int count;
};

// A copy's walk: where it is, and the folders it has made so far. However a
// link leads it there, a copy never walks into a folder it made itself.
struct CopyWalkState {
    WalkChain chain;
    std::set<std::pair<uint32_t, uint64_t>> made;
};

int SameFolder(const FolderIdentity& a, const FolderIdentity& b);
int WasMadeByWalk(const CopyWalkState& state, const FolderIdentity& folder);
void NoteMadeByWalk(CopyWalkState& state, const FolderIdentity& folder);
// 1 when the folder is on the walk already: entering it would go round in a circle.
int IsOnWalk(const WalkChain& chain, const FolderIdentity& folder);
// 0 when the chain is full (a deeper walk than any path allows).
int PushFolder(WalkChain& chain, const FolderIdentity& folder);
void PopFolder(WalkChain& chain);
