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
    state.madeIndexes.insert(folder.index);
}

int IsOnWalk(const WalkChain& chain, const FolderIdentity& folder) {
    for (int i = 0; i < chain.count; i++)
        if (chain.whole[i] && SameFolder(chain.folders[i], folder))
            return 1;
    return 0;
}

int SharesIndex(const CopyWalkState& state, uint64_t index) {
    for (int i = 0; i < state.chain.count; i++)
        if (state.chain.folders[i].index == index)
            return 1;
    return state.madeIndexes.count(index) != 0;
}

int PushFolder(WalkChain& chain, const FolderIdentity& folder) {
    if (chain.count >= WalkChain::CAPACITY)
        return 0;
    chain.whole[chain.count] = 1;
    chain.opened[chain.count] = nullptr;
    chain.folders[chain.count++] = folder;
    return 1;
}

int PushFolderIndex(WalkChain& chain, uint64_t index, void* opened) {
    if (chain.count >= WalkChain::CAPACITY)
        return 0;
    chain.whole[chain.count] = 0;
    chain.opened[chain.count] = opened;
    chain.folders[chain.count++] = FolderIdentity{0, index, 0};
    return 1;
}

void PopFolder(WalkChain& chain) {
    if (chain.count > 0)
        chain.count--;
}
