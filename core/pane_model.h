// What a pane lists: one entry per item of its folder, and the order its rows
// show them in. The list view asks for its rows' texts (owner data) and keeps
// only the selection and the focus; everything a command reads comes from here.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <string>
#include <unordered_map>
#include <vector>

// A name the code page can't spell, as the disk has it, and its short name,
// which other programs are given instead.
struct RealName {
    WCHAR name[MAX_PATH];
    char shortName[14]; // empty when the file has none
};

enum EntryFlags {
    ENTRY_NO_SIZE = 1,         // the size cell is empty (a folder, a system file)
    ENTRY_NO_DATE = 2,         // the date cell is empty
    ENTRY_HAS_REAL_NAME = 4,   // the listed name is not the one the disk has
    ENTRY_SHOWS_REAL_NAME = 8, // the row's wide text is the real name
};

enum { NO_TEXT = 0xFFFFFFFFu };

// Kept small: a pane of 100,000 items holds 100,000 of these.
struct PaneEntry {
    uint64_t size;
    FILETIME localTime; // the last write, in local time
    DWORD attributes;
    int icon;
    uint32_t name;      // the listed name, in the model's texts
    uint32_t realName;  // in the wide texts, or NO_TEXT
    uint32_t shortName; // in the texts, or NO_TEXT
    uint32_t type : 24; // in the model's type names
    uint32_t flags : 8; // EntryFlags
};

class PaneModel {
  public:
    // Starts a new listing; serial() changes with it.
    void Clear();
    // Adds an entry with its names (realName and shortName may be null) and
    // returns its index; the caller sets the rest of the returned entry.
    int Add(const char* name, const WCHAR* realName, const char* shortName, const char* type);
    int Count() const { return (int)entries_.size(); }
    PaneEntry& Entry(int index) { return entries_[(size_t)index]; }
    const PaneEntry& Entry(int index) const { return entries_[(size_t)index]; }

    const char* Name(const PaneEntry& entry) const { return &texts_[entry.name]; }
    const WCHAR* RealNameOf(const PaneEntry& entry) const;
    const char* ShortName(const PaneEntry& entry) const;
    const char* Type(const PaneEntry& entry) const { return types_[entry.type].c_str(); }
    // Ends a listing: the rows show the entries in the order they were added,
    // and the vectors give back the room they hold beyond them.
    void EndListing();
    // Takes read's entries as a new listing of this folder; read is left empty.
    void TakeListing(PaneModel& read);
    // Gives an entry a new listed name, dropping its real name (after a rename).
    void Rename(int index, const char* name);

    int Rows() const { return (int)order.size(); }
    // The entry a row shows, or -1 for no such row.
    int EntryOfRow(int row) const;
    int RowOfEntry(int entry) const;
    // Tells one entry from another across listings of one folder: the listed
    // name, and the real name where there is one.
    std::string KeyOf(int entry) const;

    unsigned serial() const { return serial_; }
    size_t Bytes() const;

    std::vector<int> order; // row -> entry
    std::string folder;     // the folder listed, "" for My Computer
    int sortedColumn = -1;  // what order's last sort was by: -1 none
    int sortedDirection = 1;

  private:
    std::vector<PaneEntry> entries_;
    std::vector<char> texts_;
    std::vector<WCHAR> wideTexts_;
    std::vector<std::string> types_;
    std::unordered_map<std::string, uint32_t> typeIndex_;
    unsigned serial_ = 0;
};

// Whether two listings hold the same entries, found in the same order.
int SameEntries(const PaneModel& a, const PaneModel& b);

// The model a list view shows, or null for a list that shows none.
PaneModel* ModelOfList(HWND list);
// The list's model, made on first use; dropped when the list is destroyed
// (ForgetModel, called by the list's own handling of its end).
PaneModel& MakeModelFor(HWND list);
void ForgetModel(HWND list);
