#include "exchange/drop_target.h"

#include <shellapi.h>

#include <new>

#include "base/prompts.h"
#include "base/scoped.h"
#include "exchange/data_object.h"
#include "core/pane.h"
#include "fileops/worker_job.h"

char DragPaths[DRAG_SLOTS][PATH_SIZE];
DropTarget* gDropTarget;

DropTarget::DropTarget(HWND owner, WalkSink& told)
    : window(owner), sink(told), DroppedPaths(), dragList(), dragCount(0), droppedLeftOut(0),
      dragFrom(nullptr), hovering(0), references_(1), current_(nullptr) {}

STDMETHODIMP DropTarget::QueryInterface(REFIID id, void** out) {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DropTarget::AddRef() {
    return (ULONG)InterlockedIncrement(&references_);
}

// The main window owns the object: the count never frees it.
STDMETHODIMP_(ULONG) DropTarget::Release() {
    return (ULONG)InterlockedDecrement(&references_);
}

int DropTarget::QueryDataObject(CLIPFORMAT format) {
    if (!current_)
        return 0;
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return current_->QueryGetData(&wanted) == S_OK;
}

int DropTarget::RefusesDrops(POINTL point) const {
    if (gCore->panes[PANE_RIGHT].path[0] == '\0' || UiPromptOpen() || JobRunning())
        return 1;
    HWND under = WindowFromPoint(POINT{point.x, point.y});
    return dragFrom && (under == dragFrom || IsChild(dragFrom, under));
}

STDMETHODIMP DropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    current_ = data;
    hovering = 1;
    return DragOver(keyState, point, effect);
}

STDMETHODIMP DropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
    InvalidateRect(window, nullptr, TRUE);
    if (RefusesDrops(point))
        *effect = DROPEFFECT_NONE;
    else if (QueryDataObject(CF_HDROP) || QueryDataObject(CF_TEXT))
        *effect = DROPEFFECT_COPY;
    else
        *effect = DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP DropTarget::DragLeave() {
    hovering = 0;
    InvalidateRect(window, nullptr, TRUE);
    return S_OK;
}

STDMETHODIMP DropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
    hovering = 0;
    FORMATETC wanted = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    // Any success fills the medium, and it is then ours to release.
    if (RefusesDrops(point) || !data || FAILED(data->GetData(&wanted, &medium))) {
        InvalidateRect(window, nullptr, TRUE);
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    ScopedMedium held(&medium);
    // Another program's block: checked before any name is read from it.
    if (medium.tymed != TYMED_HGLOBAL || !IsWellFormedFileList(medium.hGlobal)) {
        InvalidateRect(window, nullptr, TRUE);
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HDROP drop = (HDROP)medium.hGlobal;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    UINT stored = 0;
    droppedLeftOut = 0;
    // The other program's drag loop waits for this call: what is refused is
    // said when the drop is carried out.
    BeginHoldingMessages();
    for (UINT i = 0; i < count; i++) {
        if (stored == DROP_SLOTS) {
            droppedLeftOut = count - i;
            break;
        }
        if (ReadDroppedName(drop, i, &DroppedPaths[stored], sink))
            stored++;
    }
    EndHoldingMessages();
    *effect = DROPEFFECT_COPY;
    PostMessageA(window, MSG_DROP_DONE, stored, 0);
    return S_OK;
}

int CollectDragPaths(HWND owner, const Pane* pane) {
    if (!gDropTarget)
        return 0;
    int count = CollectSelectedPaths(owner, pane->list, pane->path, DragPaths, DRAG_SLOTS, "Drag&Drop",
                                     gDropTarget->sink);
    for (int i = 0; i < count; i++)
        gDropTarget->dragList[i] = DragPaths[i];
    gDropTarget->dragCount = count;
    return count > 0;
}

int DropTarget::StartDrag() {
    ScopedComPtr<FileDataObject> data(new (std::nothrow) FileDataObject);
    if (!data || !data->CreateEntries(2))
        return 0;
    ScopedGlobal block(BuildDropFiles(dragList, dragCount, 0));
    if (!block.Get())
        return 0;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block.Get();
    if (data->SetData(&format, &medium, TRUE) != S_OK)
        return 0;
    block.Release(); // the data object owns it now
    ScopedComPtr<DropSource> source(new (std::nothrow) DropSource);
    if (source) {
        DWORD effect = DROPEFFECT_NONE;
        DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect);
    }
    return 0;
}

void DragFromPane(HWND mainWindow, const Pane* pane) {
    // What is left out of the drag is said once the drag has ended.
    BeginHoldingMessages();
    if (CollectDragPaths(mainWindow, pane)) {
        gDropTarget->dragFrom = pane->list;
        gDropTarget->StartDrag();
        gDropTarget->dragFrom = nullptr;
    }
    EndHoldingMessages();
}

int CreateDropTarget(HWND window, WalkSink& sink) {
    gDropTarget = new (std::nothrow) DropTarget(window, sink);
    if (!gDropTarget)
        return 0;
    RegisterDragDrop(window, gDropTarget);
    return 1;
}

void DestroyDropTarget() {
    if (!gDropTarget)
        return;
    RevokeDragDrop(gDropTarget->window);
    delete gDropTarget;
    gDropTarget = nullptr;
}
