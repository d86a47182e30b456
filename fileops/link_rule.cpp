#include "fileops/link_rule.h"

int SameFolder(const FolderIdentity& a, const FolderIdentity& b) {
    return a.volume == b.volume && a.index == b.index && a.place == b.place;
}

uint64_t HashOfPlace(const wchar_t* path) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (; *path; path++) {
        hash ^= (uint64_t)(uint16_t)*path;
        hash *= 1099511628211ull;
    }
    return hash;
}

int WasMadeByWalk(const CopyWalkState& state, const FolderIdentity& folder) {
    return state.made.count(folder) != 0;
}

void NoteMadeByWalk(CopyWalkState& state, const FolderIdentity& folder) {
    state.made.insert(folder);
}

int IsOnWalk(const WalkChain& chain, const FolderIdentity& folder) {
    for (int i = 0; i < chain.count; i++)
        if (SameFolder(chain.folders[i], folder))
            return 1;
    return 0;
}

int PushFolder(WalkChain& chain, const FolderIdentity& folder) {
    if (chain.count >= WalkChain::CAPACITY)
        return 0;
    chain.folders[chain.count++] = folder;
    return 1;
}

void PopFolder(WalkChain& chain) {
    if (chain.count > 0)
        chain.count--;
}
