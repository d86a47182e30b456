#include "fileops/selection.h"

#include <commctrl.h>
#include <string.h>

#include "core/pane.h"
#include "core/pane_model.h"
#include "base/text_buffer.h"
#include "fileops/progress.h"
#include "fileops/walk_sink.h"

int ReadListItem(HWND list, int index, SelectedItem* item, RealName* real, WalkSink& sink) {
    const PaneModel* model = ModelOfList(list);
    int entryIndex = model ? model->EntryOfRow(index) : -1;
    if (entryIndex < 0)
        return 0;
    const PaneEntry& entry = model->Entry(entryIndex);
    const WCHAR* realName = model->RealNameOf(entry);
    DWORD attributes = entry.attributes & ~(DWORD)ITEM_HAS_REAL_NAME;
    item->param = MakeItemParam(realName ? attributes | ITEM_HAS_REAL_NAME : attributes, entryIndex);
    item->real = nullptr;
    CopyText(item->name, sizeof item->name, model->Name(entry));
    if (!real || !realName)
        return 1;
    // Its text may name another file: it goes only with its real name.
    if (IsUnreachableName(realName)) {
        sink.Unreachable("", item->name);
        return 0;
    }
    lstrcpynW(real->name, realName, MAX_PATH);
    lstrcpynA(real->shortName, model->ShortName(entry), sizeof real->shortName);
    item->real = real;
    return 1;
}

static int NextSelected(HWND list, int after) {
    return (int)SendMessageA(list, LVM_GETNEXTITEM, after, LVNI_SELECTED);
}

// Names for a question, where nothing is told.
class QuietSink final : public WalkSink {
  public:
    void Progress(int, const char*) override {}
    void Failed(const char*, const char*) override {}
    void PathTooLong(const char*, const char*) override {}
    void Unreachable(const char*, const char*) override {}
    void Ended(JobKind) override {}
};

int CollectSelectedNames(HWND list, char* names) {
    QuietSink quiet;
    names[0] = '\0';
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return 0;
    int more = 0;
    SelectedItem item;
    for (int i = -1; (i = NextSelected(list, i)) != -1;) {
        if (!ReadListItem(list, i, &item, nullptr, quiet))
            continue;
        size_t have = strlen(names);
        // Room is kept for the closing line, so the text never ends mid-name.
        if (more || have + strlen(item.name) + 2 + 32 >= NAMES_BUFFER_SIZE) {
            more++;
            continue;
        }
        AppendText(names, NAMES_BUFFER_SIZE, item.name);
        AppendText(names, NAMES_BUFFER_SIZE, "\r\n");
    }
    if (more) {
        char line[32];
        FormatText(line, sizeof line, "... (+%d)\r\n", more);
        AppendText(names, NAMES_BUFFER_SIZE, line);
    }
    return 1;
}

int TakeSelection(HWND list, Selection* taken, WalkSink& sink) {
    taken->count = 0;
    taken->items = nullptr;
    int selected = (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0)
        return 0;
    taken->items = (SelectedItem*)HeapAlloc(GetProcessHeap(), 0, sizeof(SelectedItem) * (size_t)selected);
    if (!taken->items)
        return 0;
    for (int i = -1; taken->count < selected && (i = NextSelected(list, i)) != -1;) {
        SelectedItem& item = taken->items[taken->count];
        RealName real;
        if (!ReadListItem(list, i, &item, &real, sink))
            continue;
        // The taken item owns a copy: the model changes with the next listing.
        if (item.real && !(item.real = (RealName*)HeapAlloc(GetProcessHeap(), 0, sizeof(RealName))))
            continue;
        if (item.real)
            *item.real = real;
        taken->count++;
    }
    return 1;
}

void FreeSelection(Selection* taken) {
    for (int i = 0; taken->items && i < taken->count; i++)
        if (taken->items[i].real)
            HeapFree(GetProcessHeap(), 0, taken->items[i].real);
    if (taken->items)
        HeapFree(GetProcessHeap(), 0, taken->items);
    taken->items = nullptr;
    taken->count = 0;
}

const char* NameForOthers(const SelectedItem& item, WalkSink& sink) {
    if (!item.real)
        return item.name;
    if (item.real->shortName[0])
        return item.real->shortName;
    char text[PATH_SIZE + 64];
    FormatText(text, sizeof text, "%s\r\n短い名前がないため渡せません", item.name);
    sink.Failed(text, "Name Error");
    return nullptr;
}

int WalkSelection(SelectionVisitor visitor, const Selection& items, const char* firstFolder,
                  const char* secondFolder, const WalkRun& run) {
    if (items.count == 0)
        return 0;
    for (int i = 0; i < items.count && !IsCancelled(run.cancel); i++)
        visitor(firstFolder, secondFolder, items.items[i], run);
    return 1;
}
