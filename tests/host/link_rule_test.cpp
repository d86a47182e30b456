#include <gtest/gtest.h>

#include "fileops/link_rule.h"

TEST(LinkRule, OnlyFoldersOnTheWalkStopIt) {
    const FolderIdentity root = {7, 1}, parent = {7, 20}, start = {7, 300}, child = {7, 301},
                         sibling = {7, 302};
    WalkChain chain = {};
    PushFolder(chain, root);
    PushFolder(chain, parent);
    PushFolder(chain, start);
    EXPECT_EQ(1, IsOnWalk(chain, start)) << "a link to the start folder itself";
    EXPECT_EQ(1, IsOnWalk(chain, parent)) << "a link to an ancestor";
    EXPECT_EQ(1, IsOnWalk(chain, root));
    EXPECT_EQ(0, IsOnWalk(chain, sibling)) << "a folder beside the walk is copied";
    PushFolder(chain, child);
    EXPECT_EQ(1, IsOnWalk(chain, child)) << "a folder on the current path";
    PopFolder(chain);
    EXPECT_EQ(0, IsOnWalk(chain, child)) << "left again: no longer on the path";
    // The same file index on another volume is another folder.
    EXPECT_EQ(0, IsOnWalk(chain, FolderIdentity{8, 300}));
    EXPECT_EQ(0, IsOnWalk(chain, FolderIdentity{7, 300 + (1ull << 32)})) << "all 64 bits of the index count";
    // Without a serial, the same index in two places is two folders.
    CopyWalkState walk;
    NoteMadeByWalk(walk, FolderIdentity{0, 2, HashOfPlace(L"Z:\\")});
    EXPECT_EQ(0, WasMadeByWalk(walk, FolderIdentity{0, 2, HashOfPlace(L"Z:\\dev\\shm")}));
}

// A folder the walk entered by its index alone matches nothing until it is
// read whole; its index says when a folder met must be read whole to compare.
TEST(LinkRule, AFolderKnownByItsIndexAloneIsComparedOnlyOnceReadWhole) {
    CopyWalkState walk;
    walk.chain.count = 0;
    PushFolder(walk.chain, FolderIdentity{7, 1});
    int opened = 0;
    ASSERT_EQ(1, PushFolderIndex(walk.chain, 300, &opened));
    EXPECT_EQ(0, IsOnWalk(walk.chain, FolderIdentity{0, 300, 0}));
    EXPECT_EQ(1, SharesIndex(walk, 300));
    EXPECT_EQ(1, SharesIndex(walk, 1)) << "a whole folder's index counts too";
    EXPECT_EQ(0, SharesIndex(walk, 301));
    NoteMadeByWalk(walk, FolderIdentity{7, 500});
    EXPECT_EQ(1, SharesIndex(walk, 500)) << "and a made folder's";
    PopFolder(walk.chain);
    EXPECT_EQ(0, SharesIndex(walk, 300)) << "left again";
}

TEST(LinkRule, ChainNeverOverruns) {
    WalkChain chain = {};
    for (int i = 0; i < WalkChain::CAPACITY; i++)
        ASSERT_EQ(1, PushFolder(chain, FolderIdentity{1, (uint64_t)i}));
    EXPECT_EQ(0, PushFolder(chain, FolderIdentity{1, 999}));
    EXPECT_EQ(WalkChain::CAPACITY, chain.count);
    for (int i = 0; i < WalkChain::CAPACITY + 3; i++)
        PopFolder(chain);
    EXPECT_EQ(0, chain.count);
}
