// What the disk and the panes may show after an action: the snapshots, the
// scopes an action names, and the check of each step against them.
#include "tests/soak/soak_driver.h"

#include <commctrl.h>

#include <stdio.h>

#include <algorithm>

#include "fileops/file_commands.h"

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
}

static unsigned long long HashFile(const std::wstring& path) {
    HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0; // told apart from any real contents' hash
    unsigned long long hash = 1469598103934665603ULL;
    std::vector<unsigned char> buffer(1 << 16);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), (DWORD)buffer.size(), &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; i++)
            hash = (hash ^ buffer[i]) * 1099511628211ULL;
    CloseHandle(file);
    return hash;
}

// Files whose size and time match the previous snapshot keep its hash.
void TakeSnapshot(const std::wstring& folder, const std::wstring& relative, const Snapshot& before,
                  Snapshot* out, const std::wstring& skip) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || name == skip)
            continue;
        std::wstring rel = relative + name;
        Node node = {};
        node.size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        node.time = ((unsigned long long)found.ftLastWriteTime.dwHighDateTime << 32) |
                    found.ftLastWriteTime.dwLowDateTime;
        // Wine shows every dot name hidden: that is the name's, not the file's.
        node.attributes = found.dwFileAttributes &
                          (FILE_ATTRIBUTE_READONLY | (name[0] == L'.' ? 0 : FILE_ATTRIBUTE_HIDDEN));
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            node.kind = KIND_LINK;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            node.kind = KIND_FOLDER;
            (*out)[rel] = node;
            TakeSnapshot(folder + name + L"\\", rel + L"\\", before, out);
            continue;
        } else {
            node.kind = KIND_FILE;
            auto old = before.find(rel);
            if (old != before.end() && old->second.kind == KIND_FILE && old->second.size == node.size &&
                old->second.time == node.time && old->second.hash != 0)
                node.hash = old->second.hash;
            else
                node.hash = HashFile(folder + name);
        }
        (*out)[rel] = node;
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool Covers(const Scope& scope, const std::wstring& path, bool exact) {
    if (scope.prefix.empty())
        return true;
    std::wstring p = exact ? path : Lower(path), s = exact ? scope.prefix : Lower(scope.prefix);
    return p == s || (p.size() > s.size() && p.compare(0, s.size(), s) == 0 && p[s.size()] == L'\\');
}

unsigned long long IdentityOf(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    HANDLE folder = CreateFileW((L"\\\\?\\" + path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int ok = GetFileInformationByHandle(folder, &info);
    CloseHandle(folder);
    if (!ok)
        return 0;
    return ((unsigned long long)(info.dwVolumeSerialNumber & 0xFFFF) << 48) ^
           ((unsigned long long)info.nFileIndexHigh << 32) ^ info.nFileIndexLow;
}

std::wstring Driver::Beside() const {
    std::wstring root = WideRoot();
    root.pop_back();
    return root.substr(0, root.rfind(L'\\') + 1);
}

std::wstring Driver::TreeName() const {
    std::wstring root = WideRoot();
    root.pop_back();
    return root.substr(root.rfind(L'\\') + 1);
}

void Driver::LearnFolders() {
    folders_.clear();
    folders_[IdentityOf(WideRoot())] = L"";
    for (const auto& entry : disk_)
        if (entry.second.kind == KIND_FOLDER)
            folders_[IdentityOf(WideRoot() + entry.first)] = entry.first;
    folders_.erase(0);
}

bool Driver::RealRelative(const std::wstring& path, std::wstring* relative) const {
    auto known = folders_.find(IdentityOf(path));
    if (known == folders_.end())
        return false;
    *relative = known->second;
    return true;
}

bool Driver::PaneRelative(int pane, std::wstring* relative) const {
    std::string path = gCore->panes[pane].path;
    return !path.empty() && RealRelative(Widen(path), relative);
}

int Driver::Matches(const std::wstring& path, const Node** node) const {
    int count = 0;
    for (const auto& entry : disk_)
        if (Lower(entry.first) == Lower(path) && ++count == 1 && node)
            *node = &entry.second;
    return count;
}

void Driver::Relisted(Expectation* expect, int pane) {
    expect->relisted.push_back({pane, !JobRunning()});
}

// What may be written below a folder may be written through the links in it
// too (a folder "bk" copied onto a link "bk" fills the folder it leads to).
void Driver::FollowLinks(Expectation* expect) const {
    for (size_t i = 0; i < expect->scopes.size() && expect->scopes.size() < 64; i++) {
        Scope scope = expect->scopes[i];
        if (!scope.create && !scope.change)
            continue;
        for (const auto& entry : disk_) {
            std::wstring target;
            if (entry.second.kind != KIND_LINK || !Covers(scope, entry.first) ||
                !RealRelative(WideRoot() + entry.first, &target))
                continue;
            bool known = false;
            for (const Scope& other : expect->scopes)
                known = known || (Lower(other.prefix) == Lower(target) && other.create == scope.create &&
                                  other.change == scope.change && !other.remove);
            if (!known)
                expect->scopes.push_back({target, scope.create, scope.change, false});
        }
    }
}

void Driver::Violation(const std::string& what) {
    violations_++;
    printf("VIOLATION seed %llu step %u: %s\n", seed_, step_, what.c_str());
    size_t from = history_.size() > 8 ? history_.size() - 8 : 0;
    for (size_t i = from; i < history_.size(); i++)
        printf("    %s\n", history_[i].c_str());
    fflush(stdout);
}

static std::wstring FolderOf(const std::wstring& path) {
    size_t cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

void Driver::Check(const Expectation& expect) {
    checks_++;
    Snapshot after;
    TakeSnapshot(WideRoot(), L"", disk_, &after);
    auto allowed = [&](const std::wstring& path, bool create, bool change, bool remove) {
        for (const Scope& scope : expect.scopes)
            if (Covers(scope, path, !create && !change) &&
                ((create && scope.create) || (change && scope.change) || (remove && scope.remove)))
                return true;
        return false;
    };
    std::set<std::wstring> changedFolders;
    std::vector<std::pair<std::wstring, bool>> changes; // each path that changed, and whether it went
    // A link holds no bytes, and Wine leaves out a link whose target has gone
    // (a folder renamed): links are not held to the scopes.
    for (const auto& entry : after) {
        auto old = disk_.find(entry.first);
        bool created = old == disk_.end();
        bool changed =
            !created && (old->second.kind != entry.second.kind || old->second.hash != entry.second.hash);
        if (created || changed) {
            changedFolders.insert(Lower(FolderOf(entry.first)));
            changes.push_back({entry.first, false});
        }
        if (entry.second.kind == KIND_LINK)
            continue;
        if ((created || changed) && !allowed(entry.first, created, changed, false))
            Violation((created ? "created outside what the action named: "
                               : "changed outside what the action named: ") +
                      Narrow(entry.first));
        auto bytes = contents_.find(entry.second.hash);
        if (entry.second.kind == KIND_FILE && entry.second.hash == 0)
            Violation("a file that can't be read: " + Narrow(entry.first));
        else if (entry.second.kind == KIND_FILE && bytes == contents_.end())
            Violation("a file with bytes no file had: " + Narrow(entry.first) + " (" +
                      std::to_string(entry.second.size) + " bytes)");
        else if (entry.second.kind == KIND_FILE) {
            // New bytes here have attributes a file of those bytes had; a
            // file left as it was keeps its own, unless the user cleared them.
            DWORD now = entry.second.attributes;
            bool kept = created || changed
                            ? (bytes->second >> now) & 1
                            : now == old->second.attributes ||
                                  (now == 0 && (old->second.attributes & FILE_ATTRIBUTE_READONLY) &&
                                   expect.unlockable.count(entry.first));
            if (kept)
                bytes->second |= 1u << now;
            else
                Violation("a file's attributes became " + std::to_string(now) + ": " + Narrow(entry.first));
        }
        std::wstring name = entry.first.substr(entry.first.rfind(L'\\') + 1);
        if (name.compare(0, 2, L".~") == 0)
            Violation("a temporary file left after the job: " + Narrow(entry.first));
    }
    std::set<unsigned long long> kept;
    if (expect.keepsBytes)
        for (const auto& entry : after)
            kept.insert(entry.second.hash);
    for (const auto& entry : disk_)
        if (!after.count(entry.first)) {
            if (entry.second.kind != KIND_LINK && !allowed(entry.first, false, false, true))
                Violation("removed outside what the action named: " + Narrow(entry.first));
            else if (entry.second.kind == KIND_FILE && expect.keepsBytes && !kept.count(entry.second.hash))
                Violation("moved, and its bytes are nowhere: " + Narrow(entry.first));
            changedFolders.insert(Lower(FolderOf(entry.first)));
            changes.push_back({entry.first, true});
        }
    // What the action owed did change, unless a box said why not.
    for (const Scope& scope : expect.scopes) {
        bool seen = !scope.must || expect.excused || gNotices != noticesAtStep_;
        for (size_t i = 0; i < changes.size() && !seen; i++)
            seen = Covers(scope, changes[i].first, changes[i].second) &&
                   (changes[i].second ? scope.remove : scope.create || scope.change);
        if (!seen)
            Violation("nothing changed where the action had to: " + Narrow(scope.prefix));
    }
    disk_.swap(after);
    LearnFolders();

    Snapshot sentinel;
    TakeSnapshot(Beside(), L"", sentinelDisk_, &sentinel, TreeName());
    if (sentinel.size() != sentinelDisk_.size() ||
        !std::equal(sentinel.begin(), sentinel.end(), sentinelDisk_.begin(),
                    [](const auto& a, const auto& b) {
                        return a.first == b.first && a.second.hash == b.second.hash &&
                               a.second.attributes == b.second.attributes;
                    }))
        Violation("the folder beside the test root changed");
    CheckRows(expect, changedFolders);
}

// A pane listed again, or whose folder nothing changed, shows its folder; a
// pane led out of the tree is brought back before anything writes.
void Driver::CheckRows(const Expectation& expect, const std::set<std::wstring>& changedFolders) {
    std::vector<Relisting> relisted = expect.relisted;
    for (int pane = 0; pane < 2; pane++)
        if (expect.jobPanes & (1 << pane))
            relisted.push_back({pane, true});
    std::set<int> listedNow;
    for (const Relisting& listing : relisted) {
        fresh_[listing.pane] = listing.fresh;
        active_ = listing.pane;
        listedNow.insert(listing.pane);
    }
    for (int pane = 0; pane < 2; pane++) {
        std::wstring here;
        if (!PaneRelative(pane, &here)) {
            fresh_[pane] = true;
            continue;
        }
        // Once no job writes, every pane follows its folder; while one does,
        // only a pane listed since is held to it.
        bool following = !JobRunning();
        if (!following && !listedNow.count(pane) && changedFolders.count(Lower(here)))
            fresh_[pane] = false;
        if (!following && !fresh_[pane])
            continue;
        HWND list = gCore->panes[pane].list;
        std::vector<std::string> entries;
        std::string folder = gCore->panes[pane].path;
        for (const std::string& entry : FolderEntries(folder))
            if (entry[0] != '.' && folder.size() + entry.size() < MAX_PATH)
                entries.push_back(entry);
        fresh_[pane] = true;
        if (!PumpUntil([&] { return SortedItemNames(list) == entries; }, following ? 5000 : 0))
            Violation(std::string(pane ? "the right" : "the left") +
                      " pane's rows are not its folder's entries: " + std::to_string(ItemCount(list)) +
                      " rows, " + std::to_string(entries.size()) + " entries");
    }
    for (int pane = 0; pane < 2; pane++) {
        std::wstring here;
        if (!PaneRelative(pane, &here)) {
            CommitPath(pane, tree_.c_str());
            if (!PaneRelative(pane, &here))
                Violation("a pane could not be brought back into the tree");
            Note(std::string("back into the tree ") + (pane ? "right" : "left"));
            fresh_[pane] = true;
            active_ = pane;
        }
    }
}
