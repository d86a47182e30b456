// The main window as a drop target, and the drag list it carries for drags
// out of the panes.
#pragma once
#include <windows.h>
#include <ole2.h>

class WalkSink;

#include "core/filer_core.h"
#include "exchange/exchange_commands.h"
#include "fileops/file_path.h"

// Posted to the window by a drop (wParam: the names stored), so the copy runs
// after the drag has ended.
enum { MSG_DROP_DONE = 0x8001 };

extern char DragPaths[DRAG_SLOTS][PATH_SIZE];

class DropTarget final : public IDropTarget {
  public:
    DropTarget(HWND window, WalkSink& sink);

    STDMETHODIMP QueryInterface(REFIID id, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    // 1 when the current data object offers the format as global memory.
    virtual int QueryDataObject(CLIPFORMAT format);

    int StartDrag();

    HWND window;
    // Hears what a drop leaves out.
    WalkSink& sink;
    FilePath DroppedPaths[DROP_SLOTS];
    const char* dragList[DRAG_SLOTS];
    int dragCount;
    // Names of the last drop beyond the slots, said when the drop is copied.
    UINT droppedLeftOut;
    // While a drag of this window runs, the list it started from.
    HWND dragFrom;
    // 1 while a drag is over the window.
    int hovering;

  private:
    // A drop now would have nowhere to go, or would run inside an open question,
    // or is this window's own drag let go over the list it started from.
    int RefusesDrops(POINTL point) const;
    LONG references_;
    IDataObject* current_;
};

extern DropTarget* gDropTarget;

struct Pane;
// The pane's selected paths into the drag list; 0 when none could go.
int CollectDragPaths(HWND owner, const Pane* pane);
// A drag out of the pane. Boxes about what is left out are held until the
// caller shows them, after any drop on this window has been carried out.
void DragFromPane(HWND mainWindow, const Pane* pane);
// Set up in WM_CREATE after OLE, taken down in WM_DESTROY; 0 when out of memory.
int CreateDropTarget(HWND window, WalkSink& sink);
void DestroyDropTarget();
