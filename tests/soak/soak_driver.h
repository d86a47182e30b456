// Random actions on the real main window over a tree the test driver made,
// each checked against what it may do to the disk:
//   soak_driver <actions> <seed>
// The tree ($BRENNIK_SOAK_TREE) holds odd names, links and files of distinct
// contents; the sentinel tree beside it ($BRENNIK_SOAK_SENTINEL) must never
// change. Each violation is printed with the seed, the step and the actions
// that led to it; the last line is "N actions, N checks, N violations".
// soak_oracle.cpp holds what the disk may show, soak_actions.cpp what the
// driver does, soak_main.cpp the run.
#pragma once
#include <windows.h>

#include <stdio.h>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/pane.h"
#include "tests/win/support/win_test_support.h"

// ---- the disk, as the oracle sees it ----

enum Kind { KIND_FILE, KIND_FOLDER, KIND_LINK };

struct Node {
    Kind kind;
    unsigned long long hash;
    unsigned long long size;
    unsigned long long time;
    DWORD attributes; // read-only and hidden: a copy keeps them
};
typedef std::map<std::wstring, Node> Snapshot;

std::wstring Lower(std::wstring text);
std::wstring Join(const std::wstring& folder, const std::wstring& name);
// Every entry below folder (which ends in "\"), links not followed.
void TakeSnapshot(const std::wstring& folder, const std::wstring& relative, const Snapshot& before,
                  Snapshot* out, const std::wstring& skip = L"");
// A folder's identity (volume and index), through any link; 0 when it
// can't be read.
unsigned long long IdentityOf(std::wstring path);

// ---- what an action may do ----

// Below prefix (a relative path; empty for the whole tree) the action may
// create, change or remove entries as these flags say; with must, something
// there has to change, unless a box said why not.
struct Scope {
    std::wstring prefix;
    bool create, change, remove;
    bool must = false;
};

// A pane the program lists again, in order; one listed while a job still
// writes may show a folder the job changes afterwards.
struct Relisting {
    int pane;
    bool fresh;
};

struct Expectation {
    std::vector<Scope> scopes;
    std::vector<Relisting> relisted;
    int jobPanes = 0;        // the panes the running job lists when it ends (1 << pane)
    bool keepsBytes = false; // a move or rename: what goes away is found again
    bool excused = false;    // cancelled or closed: no change is owed
    // Files whose read-only attribute the user may clear, and with it every other.
    std::set<std::wstring> unlockable;
};

// New names are matched as the platform matches them, without regard to case;
// what goes away must be the very entry named ("Twin.txt", not "twin.txt").
bool Covers(const Scope& scope, const std::wstring& path, bool exact = false);

// ---- the driver ----

class Driver {
  public:
    Driver(unsigned long long seed, const std::string& tree, const std::string& sentinel)
        : seed_(seed), rng_(seed), tree_(tree), sentinel_(sentinel) {}
    int Run(unsigned actions);
    // Ends the run at once with this violation, from any thread.
    void Abort(const std::string& what);

  private:
    // The tree and the panes.
    std::wstring WideRoot() const { return Widen(tree_); }
    // The folder that holds the tree and the sentinel beside it ("up" leads
    // there), and the tree's name in it: all of it but the tree must stay.
    std::wstring Beside() const;
    std::wstring TreeName() const;
    // The relative real path of a pane's folder, links resolved; false when
    // the pane is not inside the tree (My Computer, or led out).
    bool PaneRelative(int pane, std::wstring* relative) const;
    // The tree's folder that a path reaches, through any links, as a path
    // relative to the tree; false outside it.
    bool RealRelative(const std::wstring& path, std::wstring* relative) const;
    void LearnFolders();
    // How many entries a relative path names, matched as the platform
    // matches names (case twins are two); one of them in *node.
    int Matches(const std::wstring& path, const Node** node = nullptr) const;
    std::vector<std::wstring> SelectedNames(int pane) const;
    // Sends a command as the menu does; true when it was refused.
    bool Send(WORD command);
    // Does what reaches the window; true when the window refused it.
    bool Refused(const std::function<void()>& reach);
    // A key pressed in a pane's list, or its key command sent to the window
    // with that pane made active; true when it was refused.
    bool PressKey(int pane, WORD key, WORD command, bool control = false);
    void Keystroke(HWND to, WORD key, bool control);
    void Relisted(Expectation* expect, int pane);
    unsigned Pick(unsigned n) { return n ? (unsigned)(rng_() % n) : 0; }
    bool Chance(unsigned percent) { return Pick(100) < percent; }

    // The actions; each says what it may do, or returns false when it does
    // not apply now.
    bool Act(Expectation* expect);
    bool SelectRandom(int pane);
    bool CommandOfSide(int pane, Expectation* expect);
    bool CommandOfTools(Expectation* expect);
    bool RunTool(int pane, Expectation* expect);
    void InstallTools();
    void RemoveTools();
    std::vector<std::string> ToolLines() const;
    bool EnterFolder(int pane, Expectation* expect);
    bool TypePath(int pane, Expectation* expect);
    bool Rename(int pane, Expectation* expect);
    bool PasteBlock(Expectation* expect, bool drop);
    bool CopyIntoLink(Expectation* expect);
    void TypeInto(int pane, const std::wstring& relative);
    void CommitPath(int pane, const char* text);
    void DuringJob(Expectation* expect);
    void Reopen(Expectation* expect);
    void CopyScopes(int from, int to, bool selected, Expectation* expect);
    void FollowLinks(Expectation* expect) const;

    // The oracle.
    void Check(const Expectation& expect);
    void CheckRows(const Expectation& expect, const std::set<std::wstring>& changedFolders);
    void Violation(const std::string& what);

    void Note(const std::string& action) {
        history_.push_back(action);
        if (verbose_)
            printf("%u: %s\n", step_, action.c_str()), fflush(stdout);
    }

    unsigned long long seed_;
    std::mt19937_64 rng_;
    std::string tree_, sentinel_;
    std::unique_ptr<MainWindowUnderTest> main_;
    Snapshot disk_, sentinelDisk_;
    // The bytes of the tree's files, and the attributes (1 << attributes) a
    // file of those bytes has had.
    std::map<unsigned long long, unsigned> contents_;
    std::map<unsigned long long, std::wstring> folders_; // identity -> relative path
    int active_ = PANE_RIGHT;
    bool fresh_[2] = {true, true};
    unsigned step_ = 0, checks_ = 0, violations_ = 0, renamed_ = 0;
    LONG noticesAtStep_ = 0; // gNotices when the step began
    std::vector<std::string> history_;
    std::vector<std::string> tools_, toolFolders_; // the recorders put in the tools' places
    bool verbose_ = GetEnvironmentVariableA("BRENNIK_SOAK_VERBOSE", nullptr, 0) > 0;
};

// How the questions are answered (soak_actions.cpp).
extern int gDeleteAnswer; // the last answer to a delete question
// Boxes with only OK, and the shell's questions about what it can't do, so far.
extern volatile LONG gNotices;
extern std::mt19937_64 gAnswers, gShellAnswers;
extern CRITICAL_SECTION gAnswerLock;
INT_PTR RandomAnswer(HWND, const char* text, const char*, UINT type, LPARAM);
DWORD WINAPI WatchShellDialogs(void*);
// Has the window tell its refusals, where it can.
void ListenForRefusals();
