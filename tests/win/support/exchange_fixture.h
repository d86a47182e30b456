// File-list blocks, data objects and the clipboard as the exchange tests use
// them, and a two-pane window whose drop target they drop on.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "exchange/data_object.h"
#include "exchange/drop_target.h"
#include "exchange/exchange_commands.h"
#include "panes/navigation.h"
#include "tests/win/support/two_pane_test.h"

inline HGLOBAL BlockOf(const std::vector<std::string>& names) {
    std::vector<const char*> pointers;
    for (const std::string& name : names)
        pointers.push_back(name.c_str());
    return BuildDropFiles(pointers.data(), (int)pointers.size(), 0);
}

inline std::vector<std::string> NamesIn(HGLOBAL block) {
    std::vector<std::string> names;
    UINT count = DragQueryFileA((HDROP)block, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        char name[MAX_PATH] = "";
        DragQueryFileA((HDROP)block, i, name, sizeof name);
        names.push_back(name);
    }
    return names;
}

// A data object holding one CF_HDROP block, or text.
inline FileDataObject* DataWith(HGLOBAL block, CLIPFORMAT format = CF_HDROP) {
    FileDataObject* data = new FileDataObject;
    data->CreateEntries(2);
    FORMATETC f = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    data->SetData(&f, &medium, TRUE);
    return data;
}

class ExchangeFixture : public TwoPaneTest {
  protected:
    void SetUp() override {
        TwoPaneTest::SetUp();
        ASSERT_NE(nullptr, gDropTarget);
    }
    void TearDown() override {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        TwoPaneTest::TearDown();
    }
    void Activate(Pane* pane) { MakePaneActive(pane); }
    std::vector<std::string> ClipboardNames() {
        std::vector<std::string> names;
        if (!OpenClipboard(nullptr))
            return {"(clipboard not open)"};
        HGLOBAL data = GetClipboardData(CF_HDROP);
        if (data)
            names = NamesIn(data);
        CloseClipboard();
        return names;
    }
    void PutOnClipboard(UINT format, HGLOBAL block) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(format, block);
        CloseClipboard();
    }
    // The drop itself; its copy happens when the posted end is handled.
    DWORD DropOnly(IDataObject* data) {
        DWORD effect = DROPEFFECT_COPY;
        POINTL at = {10, 10};
        gDropTarget->DragEnter(data, MK_LBUTTON, at, &effect);
        effect = DROPEFFECT_COPY;
        gDropTarget->Drop(data, 0, at, &effect);
        return effect;
    }
    DWORD DropNow(IDataObject* data) {
        DWORD effect = DropOnly(data);
        PumpMessages(50);
        WaitForJob();
        return effect;
    }
};
