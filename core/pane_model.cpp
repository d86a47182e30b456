#include "core/pane_model.h"

#include <string.h>

#include <memory>

void PaneModel::Clear() {
    // Swapped, not cleared: a small folder after a large one gives the memory back.
    std::vector<PaneEntry>().swap(entries_);
    std::vector<char>().swap(texts_);
    std::vector<WCHAR>().swap(wideTexts_);
    std::vector<int>().swap(order);
    types_.clear();
    typeIndex_.clear();
    sortedColumn = -1;
    serial_++;
}

static uint32_t KeepText(std::vector<char>& texts, const char* text) {
    uint32_t at = (uint32_t)texts.size();
    texts.insert(texts.end(), text, text + strlen(text) + 1);
    return at;
}

int PaneModel::Add(const char* name, const WCHAR* realName, const char* shortName, const char* type) {
    PaneEntry entry = {};
    entry.name = KeepText(texts_, name);
    entry.realName = entry.shortName = NO_TEXT;
    if (realName) {
        entry.realName = (uint32_t)wideTexts_.size();
        wideTexts_.insert(wideTexts_.end(), realName, realName + lstrlenW(realName) + 1);
        entry.flags |= ENTRY_HAS_REAL_NAME;
    }
    if (shortName && shortName[0])
        entry.shortName = KeepText(texts_, shortName);
    auto known = typeIndex_.find(type);
    if (known != typeIndex_.end()) {
        entry.type = known->second;
    } else {
        uint32_t index = (uint32_t)types_.size();
        types_.push_back(type);
        typeIndex_.emplace(type, index);
        entry.type = index;
    }
    entries_.push_back(entry);
    return (int)entries_.size() - 1;
}

void PaneModel::EndListing() {
    order.resize(entries_.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = (int)i;
    entries_.shrink_to_fit();
    texts_.shrink_to_fit();
    wideTexts_.shrink_to_fit();
    order.shrink_to_fit();
}

void PaneModel::TakeListing(PaneModel& read) {
    entries_.swap(read.entries_);
    texts_.swap(read.texts_);
    wideTexts_.swap(read.wideTexts_);
    types_.swap(read.types_);
    typeIndex_.swap(read.typeIndex_);
    order.swap(read.order);
    sortedColumn = read.sortedColumn;
    sortedDirection = read.sortedDirection;
    read.Clear();
    serial_++;
}

int SameEntries(const PaneModel& a, const PaneModel& b) {
    if (a.Count() != b.Count() || a.order != b.order)
        return 0;
    for (int i = 0; i < a.Count(); i++) {
        const PaneEntry& x = a.Entry(i);
        const PaneEntry& y = b.Entry(i);
        if (x.size != y.size || CompareFileTime(&x.localTime, &y.localTime) != 0 ||
            x.attributes != y.attributes || x.icon != y.icon || x.flags != y.flags ||
            strcmp(a.Name(x), b.Name(y)) != 0 || strcmp(a.Type(x), b.Type(y)) != 0 ||
            strcmp(a.ShortName(x), b.ShortName(y)) != 0)
            return 0;
        const WCHAR* realX = a.RealNameOf(x);
        const WCHAR* realY = b.RealNameOf(y);
        if ((realX == nullptr) != (realY == nullptr) || (realX && lstrcmpW(realX, realY) != 0))
            return 0;
    }
    return 1;
}

const WCHAR* PaneModel::RealNameOf(const PaneEntry& entry) const {
    return entry.realName == NO_TEXT ? nullptr : &wideTexts_[entry.realName];
}

const char* PaneModel::ShortName(const PaneEntry& entry) const {
    return entry.shortName == NO_TEXT ? "" : &texts_[entry.shortName];
}

void PaneModel::Rename(int index, const char* name) {
    PaneEntry& entry = entries_[(size_t)index];
    entry.name = KeepText(texts_, name);
    entry.realName = entry.shortName = NO_TEXT;
    entry.flags &= ~(uint32_t)(ENTRY_HAS_REAL_NAME | ENTRY_SHOWS_REAL_NAME);
}

int PaneModel::EntryOfRow(int row) const {
    return row >= 0 && row < (int)order.size() ? order[(size_t)row] : -1;
}

int PaneModel::RowOfEntry(int entry) const {
    for (size_t row = 0; row < order.size(); row++)
        if (order[row] == entry)
            return (int)row;
    return -1;
}

std::string PaneModel::KeyOf(int index) const {
    const PaneEntry& entry = entries_[(size_t)index];
    std::string key = Name(entry);
    if (const WCHAR* real = RealNameOf(entry)) {
        key += '\1';
        key.append((const char*)real, sizeof(WCHAR) * (size_t)lstrlenW(real));
    }
    return key;
}

size_t PaneModel::Bytes() const {
    size_t bytes = entries_.capacity() * sizeof(PaneEntry) + texts_.capacity() +
                   wideTexts_.capacity() * sizeof(WCHAR) + order.capacity() * sizeof(int);
    for (const std::string& type : types_)
        bytes += sizeof type + type.capacity();
    return bytes;
}

namespace {
struct ListModel {
    HWND list;
    std::unique_ptr<PaneModel> model;
};
// One per list view: the program has two, a test a few more.
std::vector<ListModel> gModels;
} // namespace

PaneModel* ModelOfList(HWND list) {
    for (ListModel& kept : gModels)
        if (kept.list == list)
            return kept.model.get();
    return nullptr;
}

PaneModel& MakeModelFor(HWND list) {
    if (PaneModel* model = ModelOfList(list))
        return *model;
    gModels.push_back(ListModel{list, std::unique_ptr<PaneModel>(new PaneModel)});
    return *gModels.back().model;
}

void ForgetModel(HWND list) {
    for (size_t i = 0; i < gModels.size(); i++)
        if (gModels[i].list == list) {
            gModels.erase(gModels.begin() + (ptrdiff_t)i);
            return;
        }
}
