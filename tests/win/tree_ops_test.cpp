// The copy and delete engines on real trees in temporary folders.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/window_sink.h"
#include "core/filer_core.h"
#include "base/scoped.h"
#include "fileops/file_path.h"
#include "fileops/folder_handle.h"
#include "fileops/link_rule.h"
#include "fileops/tree_copy.h"
#include "fileops/tree_delete.h"
#include "fileops/walk_paths.h"
#include "fileops/walk_sink.h"
#include "tests/win/support/win_test_support.h"

static const char kCopyError[] = "CopyZ File ERROR";

class TreeCopyTest : public ::testing::Test {
  protected:
    std::string Src(const std::string& name) { return src_ / name; }
    std::string Dst(const std::string& name) { return dst_ / name; }
    int Copy(const std::string& from, const std::string& to, int force = 0) {
        return CopyTree(from.c_str(), to.c_str(), force, nullptr, WindowWalkSink());
    }
    TempFolder src_, dst_;
    PromptRecorder prompts_;
};

TEST_F(TreeCopyTest, DateRuleDecidesEachFile) {
    WriteBytes(Src("new.txt"), "new");
    WriteBytes(Src("older.txt"), "source");
    WriteBytes(Src("equal.txt"), "source");
    WriteBytes(Src("newer.txt"), "source");
    WriteBytes(Src("ro.txt"), "source");
    for (const char* name : {"older.txt", "equal.txt", "newer.txt", "ro.txt"})
        SetWriteTime(Src(name), 100);
    WriteBytes(Dst("older.txt"), "dest");
    SetWriteTime(Dst("older.txt"), 99);
    WriteBytes(Dst("equal.txt"), "dest");
    SetWriteTime(Dst("equal.txt"), 100);
    WriteBytes(Dst("newer.txt"), "dest");
    SetWriteTime(Dst("newer.txt"), 101);
    WriteBytes(Dst("ro.txt"), "dest");
    SetWriteTime(Dst("ro.txt"), 50);
    SetFileAttributesA(Dst("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    for (const char* name : {"new.txt", "older.txt", "equal.txt", "newer.txt", "ro.txt"})
        EXPECT_EQ(1, Copy(Src(name), Dst(name))) << name;

    EXPECT_EQ("new", ReadBytes(Dst("new.txt")));
    EXPECT_EQ("source", ReadBytes(Dst("older.txt")));
    EXPECT_EQ(WriteTimeOf(Src("older.txt")), WriteTimeOf(Dst("older.txt")))
        << "the copy keeps the source's time";
    EXPECT_EQ("dest", ReadBytes(Dst("equal.txt")));
    EXPECT_EQ("dest", ReadBytes(Dst("newer.txt")));
    EXPECT_EQ("source", ReadBytes(Dst("ro.txt"))) << "a read-only older destination is overwritten";
    EXPECT_TRUE(prompts_.calls().empty());

    // Force copies over a newer destination too.
    EXPECT_EQ(1, Copy(Src("newer.txt"), Dst("newer.txt"), 1));
    EXPECT_EQ("source", ReadBytes(Dst("newer.txt")));
}

TEST_F(TreeCopyTest, SecondCopyOfATreeCopiesNothing) {
    CreateDirectoryA(Src("a").c_str(), nullptr);
    CreateDirectoryA(Src("a\\b").c_str(), nullptr);
    WriteBytes(Src("top.txt"), "1");
    WriteBytes(Src("a\\mid.txt"), "2");
    WriteBytes(Src("a\\b\\low.txt"), "3");
    std::string source = src_.path().substr(0, src_.path().size() - 1);
    std::string target = dst_ / "copy";
    EXPECT_EQ(1, Copy(source, target));
    EXPECT_EQ("3", ReadBytes(target + "\\a\\b\\low.txt"));
    // Mark every copy, keeping its time: a second pass that copied anything would undo a mark.
    for (const char* name : {"\\top.txt", "\\a\\mid.txt", "\\a\\b\\low.txt"}) {
        ULONGLONG t = WriteTimeOf(target + name);
        WriteBytes(target + name, "mark");
        HANDLE file = CreateFileA((target + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  0, nullptr);
        FILETIME ft = {(DWORD)t, (DWORD)(t >> 32)};
        SetFileTime(file, nullptr, nullptr, &ft);
        CloseHandle(file);
    }
    EXPECT_EQ(1, Copy(source, target));
    for (const char* name : {"\\top.txt", "\\a\\mid.txt", "\\a\\b\\low.txt"})
        EXPECT_EQ("mark", ReadBytes(target + name)) << name;
    EXPECT_TRUE(prompts_.calls().empty());
}

// Every entry but "." and ".." is the user's: a copy takes dot names and a
// delete removes them. A copy's left-over temporary is nobody's: never
// copied, and swept from a folder the copy writes into; a user's file of a
// like name stays.
TEST_F(TreeCopyTest, DotEntriesLeftOversAndEmptyFolders) {
    CreateDirectoryA(Src("tree").c_str(), nullptr);
    CreateDirectoryA(Src("tree\\only-dots").c_str(), nullptr);
    CreateDirectoryA(Src("tree\\empty").c_str(), nullptr);
    CreateDirectoryA(Src("tree\\.git").c_str(), nullptr);
    WriteBytes(Src("tree\\.git\\config"), "x");
    WriteBytes(Src("tree\\.hidden"), "x");
    WriteBytes(Src("tree\\only-dots\\.profile"), "x");
    WriteBytes(Src("tree\\kept.txt"), "k");
    WriteBytes(Src("tree\\.~bk1f.tmp"), "partial");
    CreateDirectoryA(Dst("tree").c_str(), nullptr);
    WriteBytes(Dst("tree\\.~bk3a0007.tmp"), "left over");
    WriteBytes(Dst("tree\\.~bknotes.tmp"), "the user's");

    SelectedItem tree = {"tree", 0, nullptr};
    EXPECT_EQ(
        1, CopyVisitor(src_.path().c_str(), dst_.path().c_str(), tree, WalkRun{nullptr, WindowWalkSink()}));
    EXPECT_EQ("k", ReadBytes(Dst("tree\\kept.txt")));
    EXPECT_TRUE(Exists(Dst("tree\\empty")));
    EXPECT_EQ("x", ReadBytes(Dst("tree\\only-dots\\.profile")));
    EXPECT_EQ("x", ReadBytes(Dst("tree\\.hidden")));
    EXPECT_EQ("x", ReadBytes(Dst("tree\\.git\\config")));
    EXPECT_EQ(
        (std::vector<std::string>{".git", ".hidden", ".~bknotes.tmp", "empty", "kept.txt", "only-dots"}),
        FolderEntries(Dst("tree\\")));
    EXPECT_TRUE(prompts_.calls().empty());

    // A permanent delete takes the dot names and a left-over with the folder.
    WriteBytes(Src("tree\\.git\\.~bk2.tmp"), "left over");
    EXPECT_EQ(1, DeleteTree(Src("tree").c_str(), nullptr, WindowWalkSink()));
    EXPECT_FALSE(Exists(Src("tree")));
    EXPECT_TRUE(prompts_.calls().empty());
}

struct CopyRun {
    std::string from, to;
};
static DWORD WINAPI CopyOnAThread(LPVOID run) {
    CopyRun* r = (CopyRun*)run;
    CopyTree(r->from.c_str(), r->to.c_str(), 0, nullptr, WindowWalkSink());
    return 0;
}

// A new file is whole or absent under its name at every moment of its copy:
// a process stopped dead part-way leaves no partial file that is newer than
// its source, which every later update would keep.
TEST_F(TreeCopyTest, ANewFileNeverStandsHalfCopiedUnderItsName) {
    const unsigned long long size = 48ull << 20;
    MakeFileOfSize(Src("big.bin"), size);
    CopyRun run = {Src("big.bin"), Dst("big.bin")};
    HANDLE copier = CreateThread(nullptr, 0, CopyOnAThread, &run, 0, nullptr);
    int partial = 0, seen = 0;
    while (WaitForSingleObject(copier, 0) == WAIT_TIMEOUT) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(run.to.c_str(), GetFileExInfoStandard, &data)) {
            seen++;
            partial += data.nFileSizeLow != (DWORD)size;
        }
        Sleep(1);
    }
    CloseHandle(copier);
    EXPECT_EQ(0, partial) << "of " << seen << " looks while the copy ran";
    EXPECT_EQ(WriteTimeOf(Src("big.bin")), WriteTimeOf(Dst("big.bin")));
    EXPECT_EQ((std::vector<std::string>{"big.bin"}), FolderEntries(dst_.path()));
}

TEST_F(TreeCopyTest, FilesHeldOpenWithoutSharing) {
    WriteBytes(Src("locked-dest.txt"), "new");
    WriteBytes(Dst("locked-dest.txt"), "old");
    SetWriteTime(Dst("locked-dest.txt"), 1);
    WriteBytes(Src("locked-src.txt"), "new");
    WriteBytes(Dst("locked-src.txt"), "old");
    SetWriteTime(Dst("locked-src.txt"), 1);

    HANDLE holdDest =
        CreateFileA(Dst("locked-dest.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE holdSrc =
        CreateFileA(Src("locked-src.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holdDest);
    ASSERT_NE(INVALID_HANDLE_VALUE, holdSrc);
    Copy(Src("locked-dest.txt"), Dst("locked-dest.txt"));
    Copy(Src("locked-src.txt"), Dst("locked-src.txt"));
    CloseHandle(holdDest);
    CloseHandle(holdSrc);

    ASSERT_EQ(1u, prompts_.calls().size()) << "the held source is skipped silently";
    EXPECT_EQ(kCopyError, prompts_.calls()[0].caption);
    EXPECT_EQ(Dst("locked-dest.txt"), prompts_.calls()[0].text);
    EXPECT_EQ("old", ReadBytes(Dst("locked-src.txt")));
}

TEST_F(TreeCopyTest, AnUpToDateDestinationIsNotOpenedEvenWhenHeld) {
    // Decided from the times alone: a destination held open that needs no
    // copy is passed over silently (it would only fail to be opened).
    WriteBytes(Src("same.txt"), "s");
    WriteBytes(Dst("same.txt"), "d");
    SetWriteTime(Src("same.txt"), 5);
    SetWriteTime(Dst("same.txt"), 5);
    HANDLE hold = CreateFileA(Dst("same.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    std::string source = src_.path().substr(0, src_.path().size() - 1);
    std::string target = dst_.path().substr(0, dst_.path().size() - 1);
    EXPECT_EQ(1, Copy(source, target));
    EXPECT_EQ(1, Copy(Src("same.txt"), Dst("same.txt")));
    CloseHandle(hold);
    EXPECT_TRUE(prompts_.calls().empty());
    EXPECT_EQ("d", ReadBytes(Dst("same.txt")));
}

TEST_F(TreeCopyTest, FailuresAreReportedAndTheWalkGoesOn) {
    // A missing source creates nothing and is reported as a failed copy.
    EXPECT_EQ(1, Copy(Src("gone"), Dst("gone")));
    EXPECT_FALSE(Exists(Dst("gone")));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ(kCopyError, prompts_.calls()[0].caption);
    EXPECT_EQ(Dst("gone"), prompts_.calls()[0].text);

    // A destination name that would pass 259 bytes: that entry is skipped
    // with a message naming it, its neighbours are copied.
    CreateDirectoryA(Src("s").c_str(), nullptr);
    std::string longName(60, 'n');
    WriteBytes(Src("s\\" + longName), "x");
    WriteBytes(Src("s\\short"), "y");
    std::string deep = dst_.path() + std::string(240 - dst_.path().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep.size();
    EXPECT_EQ(1, Copy(Src("s"), deep));
    EXPECT_EQ("y", ReadBytes(deep + "\\short"));
    ASSERT_EQ(2u, prompts_.calls().size());
    EXPECT_EQ("Path Length Error", prompts_.calls()[1].caption);
    EXPECT_EQ(deep + "\r\n" + longName, prompts_.calls()[1].text);
}

// A copy that can't take the older file's place fails loudly and leaves that
// file, and nothing else, behind: no temporary copy, no copy made in place.
TEST_F(TreeCopyTest, ACopyThatCantReplaceLosesNothingAndLeavesNothing) {
    // A folder whose files' paths are 259 bytes when their names are one byte:
    // no temporary name fits beside "a".
    std::string deep = dst_.path() + std::string(256 - dst_.path().size(), 'd') + "\\";
    ASSERT_EQ(257u, deep.size());
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    struct Case {
        const char* what;
        std::string destination;
        DWORD sourceAttributes;
        bool holdDestination; // held open without delete sharing: the replace fails
        bool folderInPlace;
    } cases[] = {
        {"read-only source, replace refused", Dst("held.txt"), FILE_ATTRIBUTE_READONLY, true, false},
        {"no temporary name fits", deep + "a", FILE_ATTRIBUTE_NORMAL, false, false},
        {"a newer folder in the file's place", Dst("folder.txt"), FILE_ATTRIBUTE_NORMAL, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string source = Src(NameOfPath(c.destination.c_str()));
        WriteBytes(source, "new");
        SetWriteTime(source, 10);
        if (c.folderInPlace) {
            ASSERT_TRUE(CreateDirectoryA(c.destination.c_str(), nullptr));
        } else {
            WriteBytes(c.destination, "old");
        }
        SetWriteTime(c.destination, c.folderInPlace ? 20 : 1);
        SetFileAttributesA(source.c_str(), c.sourceAttributes);
        HANDLE hold = c.holdDestination ? CreateFileA(c.destination.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, 0, nullptr)
                                        : INVALID_HANDLE_VALUE;
        size_t before = prompts_.calls().size();
        Copy(source, c.destination);
        if (hold != INVALID_HANDLE_VALUE)
            CloseHandle(hold);
        ASSERT_EQ(before + 1, prompts_.calls().size());
        EXPECT_EQ(kCopyError, prompts_.calls()[before].caption);
        EXPECT_EQ(c.destination, prompts_.calls()[before].text);
        if (c.folderInPlace)
            EXPECT_TRUE(GetFileAttributesA(c.destination.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        else
            EXPECT_EQ("old", ReadBytes(c.destination));
        std::string folder =
            c.destination.substr(0, c.destination.size() - strlen(NameOfPath(c.destination.c_str())));
        for (const std::string& entry : FolderEntries(folder))
            EXPECT_NE(0u, entry.find(".~")) << "a temporary copy stayed: " << entry;
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(TreeCopyTest, FolderContentsAndPathsInto) {
    WriteBytes(Src("a.txt"), "a");
    CreateDirectoryA(Src("f").c_str(), nullptr);
    WriteBytes(Src("f\\b.txt"), "b");
    // Pane folders come with their final "\"; the destination is made when missing.
    std::string target = dst_ / "made\\";
    EXPECT_EQ(1, CopyFolderContents(src_.path().c_str(), target.c_str(), nullptr, WindowWalkSink()));
    EXPECT_EQ("a", ReadBytes(target + "a.txt"));
    EXPECT_EQ("b", ReadBytes(target + "f\\b.txt"));

    FilePath paths[2];
    SetFilePath(&paths[0], Src("a.txt").c_str());
    SetFilePath(&paths[1], Src("f").c_str());
    EXPECT_EQ(2, CopyPathsInto(paths, dst_.path().c_str(), 2, nullptr, WindowWalkSink()));
    EXPECT_EQ("a", ReadBytes(Dst("a.txt")));
    EXPECT_EQ("b", ReadBytes(Dst("f\\b.txt")));
    EXPECT_EQ(0, CopyPathsInto(paths, dst_.path().c_str(), 0, nullptr, WindowWalkSink()));
    EXPECT_TRUE(prompts_.calls().empty());
}

TEST_F(TreeCopyTest, CancelStopsBetweenEntriesButATopFileIsCopied) {
    CreateDirectoryA(Src("many").c_str(), nullptr);
    WriteBytes(Src("many\\1.txt"), "1");
    WriteBytes(Src("single.txt"), "s");
    volatile LONG cancel = 1;
    CopyTree(Src("many").c_str(), Dst("many").c_str(), 0, &cancel, WindowWalkSink());
    EXPECT_FALSE(Exists(Dst("many\\1.txt")));
    CopyTree(Src("single.txt").c_str(), Dst("single.txt").c_str(), 0, &cancel, WindowWalkSink());
    EXPECT_TRUE(Exists(Dst("single.txt")));
}

// Q: is a folder that the test driver made for this (it holds the marker file),
// so a real root can be a whole-folder source and destination.
static bool TestDriveReady() {
    return Exists("Q:\\.brennik-test-drive");
}

static void EmptyTestDrive() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Q:\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != ".." && name != ".brennik-test-drive")
            RemoveTree("Q:\\" + name), DeleteFileA(("Q:\\" + name).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

TEST_F(TreeCopyTest, DriveRootsStayRoots) {
    if (!TestDriveReady())
        GTEST_SKIP() << "the test drive Q: is not set up";
    EmptyTestDrive();
    WriteBytes("Q:\\root-file.txt", "r");
    CreateDirectoryA("Q:\\sub", nullptr);
    WriteBytes("Q:\\sub\\deep.txt", "d");
    // The drive's current folder is elsewhere: the root must still be the root.
    SetCurrentDirectoryA("Q:\\sub");
    EXPECT_EQ(1, CopyFolderContents("Q:\\", dst_.path().c_str(), nullptr, WindowWalkSink()));
    EXPECT_EQ("r", ReadBytes(Dst("root-file.txt")));
    EXPECT_EQ("d", ReadBytes(Dst("sub\\deep.txt")));
    EXPECT_TRUE(Exists(Dst(".brennik-test-drive"))) << "a dot name is copied like any other";
    EXPECT_FALSE(Exists(Dst("deep.txt")));

    EmptyTestDrive();
    SetCurrentDirectoryA("C:\\");
    // An empty root yields no entry at all: an empty folder, not an error.
    DeleteFileA("Q:\\.brennik-test-drive");
    EXPECT_EQ(1, CopyFolderContents("Q:\\", dst_.path().c_str(), nullptr, WindowWalkSink()));
    WriteBytes("Q:\\.brennik-test-drive", "");
    EXPECT_EQ(1, CopyFolderContents(dst_.path().c_str(), "Q:\\", nullptr, WindowWalkSink()));
    EXPECT_EQ("d", ReadBytes("Q:\\sub\\deep.txt"));
    EXPECT_EQ("r", ReadBytes("Q:\\root-file.txt"));
    EXPECT_TRUE(prompts_.calls().empty());
    EmptyTestDrive();
}

// Every entry as the walks read it, one line each, in the order read.
static std::vector<std::string> ListedEntries(const std::string& folder, HANDLE opened) {
    FilePath path;
    SetFilePath(&path, folder.c_str());
    EntrySearch search(path, opened);
    FoundEntry entry;
    std::vector<std::string> lines;
    if (DWORD error = search.First(&entry))
        return {"error " + std::to_string(error)};
    do {
        const WIN32_FIND_DATAA& f = entry.found;
        char line[1024];
        snprintf(line, sizeof line, "%s|%s|%s|%lx|%lx.%lx|%lx.%lx|%lx.%lx|%lx.%lx|%lx", f.cFileName,
                 f.cAlternateFileName, Narrow(entry.realName).c_str(), f.dwFileAttributes,
                 f.ftCreationTime.dwHighDateTime, f.ftCreationTime.dwLowDateTime,
                 f.ftLastWriteTime.dwHighDateTime, f.ftLastWriteTime.dwLowDateTime, f.nFileSizeHigh,
                 f.nFileSizeLow, f.ftLastAccessTime.dwHighDateTime, f.ftLastAccessTime.dwLowDateTime,
                 f.dwReserved0);
        lines.push_back(line + std::string(entry.realName[0] ? "|real" : ""));
    } while (search.Next(&entry));
    return lines;
}

// A folder read through its open handle gives what its search gives, field by
// field and in the same order, over more entries than one read returns; a
// handle that can't list falls back to the search.
TEST_F(TreeCopyTest, AFolderListedThroughItsHandleGivesWhatItsSearchGives) {
    CreateDirectoryA(Src("Sub").c_str(), nullptr);
    WriteBytes(Src("Sub\\in.txt"), "in");
    WriteBytes(Src(".dot"), "d");
    WriteBytes(Src("a name far longer than eight and three.text"), "long");
    WriteBytes(Src("表示.txt"), "shown");
    WriteBytesW(Widen(Src("")) + L"caf\xe9.txt", "acute");
    WriteBytesW(Widen(Src("")) + L"\xd55c\xad6d.txt", "korean");
    WriteBytes(Src("hidden.txt"), "h");
    SetFileAttributesA(Src("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    MakeFileOfSize(Src("big.bin"), (5ull << 30) + 3);
    SetWriteTime(Src("big.bin"), 77);
    for (int i = 0; i < 400; i++)
        WriteBytes(Src("entry " + std::to_string(i * 7919 % 400) + std::string(90, 'x')), "");
    std::vector<std::string> folders = {src_.path(), src_.path() + "Sub"};
    std::string links = FolderFromEnvironment("BRENNIK_TEST_LINKS");
    if (!links.empty())
        folders.push_back(links + "copy\\tree"); // a link to ".", to "..", and one out
    for (const std::string& folder : folders) {
        FilePath path;
        SetFilePath(&path, folder.c_str());
        ScopedHandle opened(OpenFolderToList(path));
        ASSERT_TRUE(opened.Valid()) << folder;
        // A folder known to lie on a volume has the identity a full read gives.
        FolderIdentity whole, indexed;
        ASSERT_TRUE(IdentityOfHandle(opened.Get(), &whole));
        ASSERT_TRUE(IdentityOnVolume(opened.Get(), whole.volume, &indexed));
        EXPECT_TRUE(SameFolder(whole, indexed)) << folder;
        std::vector<std::string> searched = ListedEntries(folder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(searched, ListedEntries(folder, opened.Get())) << folder;
        EXPECT_GE(searched.size(), 3u) << folder;
    }
    EXPECT_EQ(410u, ListedEntries(src_.path(), INVALID_HANDLE_VALUE).size());
    ScopedHandle file(CreateFileA(Src("hidden.txt").c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(ListedEntries(src_.path(), INVALID_HANDLE_VALUE), ListedEntries(src_.path(), file.Get()));
}

class TreeDeleteTest : public ::testing::Test {
  protected:
    std::string At(const std::string& name) { return folder_ / name; }
    TempFolder folder_;
    PromptRecorder prompts_;
};

TEST_F(TreeDeleteTest, ReadOnlyHiddenAndSystemGoSilently) {
    CreateDirectoryA(At("t").c_str(), nullptr);
    CreateDirectoryA(At("t\\inner").c_str(), nullptr);
    WriteBytes(At("t\\ro.txt"), "x");
    WriteBytes(At("t\\inner\\sys.txt"), "x");
    SetFileAttributesA(At("t\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(At("t\\inner\\sys.txt").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(At("t\\inner").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(1, DeleteTree(At("t").c_str(), nullptr, WindowWalkSink()));
    EXPECT_FALSE(Exists(At("t")));
    EXPECT_TRUE(prompts_.calls().empty());
}

// A dot name goes like any other; an entry that stays keeps its folders,
// said innermost first.
TEST_F(TreeDeleteTest, AnEntryThatStaysKeepsItsFoldersWithMessagesInnermostFirst) {
    CreateDirectoryA(At("t").c_str(), nullptr);
    CreateDirectoryA(At("t\\a").c_str(), nullptr);
    WriteBytes(At("t\\a\\.keep"), "x");
    WriteBytes(At("t\\a\\held.txt"), "x");
    WriteBytes(At("t\\gone.txt"), "x");
    HANDLE hold =
        CreateFileA(At("t\\a\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DeleteTree(At("t").c_str(), nullptr, WindowWalkSink());
    CloseHandle(hold);
    EXPECT_FALSE(Exists(At("t\\a\\.keep")));
    EXPECT_TRUE(Exists(At("t\\a\\held.txt")));
    EXPECT_FALSE(Exists(At("t\\gone.txt")));
    ASSERT_EQ(3u, prompts_.calls().size());
    EXPECT_EQ("DelZ  File を削除できません", prompts_.calls()[0].caption);
    EXPECT_EQ("DelZ  Folder を削除できません", prompts_.calls()[1].caption);
    EXPECT_EQ(At("t\\a"), prompts_.calls()[1].text);
    EXPECT_EQ(At("t"), prompts_.calls()[2].text);
}

TEST_F(TreeDeleteTest, MissingItemAndHeldFile) {
    EXPECT_EQ(0, DeleteTree(At("nothing").c_str(), nullptr, WindowWalkSink()));
    WriteBytes(At("held.txt"), "x");
    HANDLE hold = CreateFileA(At("held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(1, DeleteTree(At("held.txt").c_str(), nullptr, WindowWalkSink()));
    CloseHandle(hold);
    ASSERT_EQ(2u, prompts_.calls().size());
    EXPECT_EQ("DelZ Current Directry Error", prompts_.calls()[0].caption);
    EXPECT_EQ(At("nothing"), prompts_.calls()[0].text);
    EXPECT_EQ("DelZ  File を削除できません", prompts_.calls()[1].caption);
    EXPECT_TRUE(Exists(At("held.txt")));
}

TEST_F(TreeDeleteTest, CancelLeavesTheRestAndSaysWhichFoldersStay) {
    CreateDirectoryA(At("t").c_str(), nullptr);
    WriteBytes(At("t\\a.txt"), "x");
    volatile LONG cancel = 1;
    DeleteTree(At("t").c_str(), &cancel, WindowWalkSink());
    EXPECT_TRUE(Exists(At("t\\a.txt")));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("DelZ  Folder を削除できません", prompts_.calls()[0].caption);
}

// A sink that keeps what the walks say, so they run with no window at all.
class RecordingSink final : public WalkSink {
  public:
    void Progress(int part, const char* text) override {
        events.push_back(std::to_string(part) + " " + text);
    }
    void Failed(const char* text, const char* caption) override {
        events.push_back(std::string("failed ") + caption + " " + text);
    }
    void PathTooLong(const char* folder, const char* name) override {
        events.push_back(std::string("too long ") + folder + " " + name);
    }
    void Unreachable(const char* folder, const char* name) override {
        events.push_back(std::string("unreachable ") + folder + " " + name);
    }
    void Ended(JobKind kind) override { events.push_back("ended " + std::to_string(kind)); }
    std::vector<std::string> events;
};

TEST_F(TreeCopyTest, TheWalksTellTheirSinkEverythingAndShowNothing) {
    WriteBytes(Src("a.txt"), "a");
    CreateDirectoryA(Src("sub").c_str(), nullptr);
    WriteBytes(Src("sub\\b.txt"), "b");
    CreateDirectoryA(Dst("sub").c_str(), nullptr);
    CreateDirectoryA(Dst("sub\\b.txt").c_str(), nullptr); // a folder where the file goes
    RecordingSink copy;
    EXPECT_EQ(1, CopyTree(src_.path().c_str(), dst_.path().c_str(), 0, nullptr, copy));
    std::vector<std::string> expected = {
        "0 " + Src("a.txt"),
        "1 " + Dst("a.txt"),
        "0 " + Src("sub"),
        "0 " + Src("sub\\b.txt"),
        "failed CopyZ File ERROR " + Dst("sub\\b.txt"),
    };
    // The folder search's own order decides which top entry comes first.
    std::sort(expected.begin(), expected.end());
    std::sort(copy.events.begin(), copy.events.end());
    EXPECT_EQ(expected, copy.events);

    RecordingSink removal;
    HANDLE held = CreateFileA(Src("sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(1, DeleteTree(Src("sub").c_str(), nullptr, removal));
    CloseHandle(held);
    expected = {"failed DelZ  File を削除できません " + Src("sub\\b.txt"),
                "failed DelZ  Folder を削除できません " + Src("sub")};
    EXPECT_EQ(expected, removal.events);
    EXPECT_TRUE(prompts_.calls().empty()) << "the walks show nothing themselves";
}
