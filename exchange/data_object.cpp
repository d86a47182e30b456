#include "exchange/data_object.h"

#include <new>

int DuplicateMedium(STGMEDIUM* destination, const FORMATETC* format, const STGMEDIUM* source) {
    switch (source->tymed) {
    case TYMED_HGLOBAL:
    case TYMED_FILE:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF: break;
    default: return 0;
    }
    HANDLE copy = OleDuplicateData(source->hGlobal, format->cfFormat, 0);
    if (!copy)
        return 0;
    destination->tymed = source->tymed;
    destination->hGlobal = (HGLOBAL)copy;
    destination->pUnkForRelease = source->pUnkForRelease;
    if (source->pUnkForRelease)
        source->pUnkForRelease->AddRef();
    return 1;
}

FileDataObject::FileDataObject() : references_(1), entries_(nullptr), capacity_(0), count_(0) {}

FileDataObject::~FileDataObject() {
    DestroyEntries();
}

void FileDataObject::DestroyEntries() {
    for (int i = 0; i < count_; i++)
        if (entries_[i].medium.tymed != TYMED_NULL)
            ReleaseStgMedium(&entries_[i].medium);
    delete[] entries_;
    entries_ = nullptr;
    capacity_ = count_ = 0;
}

int FileDataObject::CreateEntries(int capacity) {
    DestroyEntries();
    entries_ = new (std::nothrow) FormatEntry[capacity]();
    if (!entries_)
        return 0;
    capacity_ = capacity;
    return 1;
}

STDMETHODIMP FileDataObject::QueryInterface(REFIID id, void** out) {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
        *out = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FileDataObject::AddRef() {
    return (ULONG)InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) FileDataObject::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return (ULONG)left;
}

FormatEntry* FileDataObject::Match(const FORMATETC* format, HRESULT* result) {
    if (!(format->dwAspect & DVASPECT_CONTENT)) {
        *result = DV_E_DVASPECT;
        return nullptr;
    }
    *result = DV_E_FORMATETC;
    for (int i = 0; i < count_; i++)
        if (entries_[i].format.cfFormat == format->cfFormat && (entries_[i].format.tymed & format->tymed))
            return &entries_[i];
    return nullptr;
}

STDMETHODIMP FileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium)
        return E_INVALIDARG;
    HRESULT result;
    FormatEntry* entry = Match(format, &result);
    if (!entry)
        return result;
    return DuplicateMedium(medium, &entry->format, &entry->medium) ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FileDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

STDMETHODIMP FileDataObject::QueryGetData(FORMATETC* format) {
    if (!format)
        return E_INVALIDARG;
    HRESULT result;
    return Match(format, &result) ? S_OK : result;
}

STDMETHODIMP FileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) {
    return E_NOTIMPL;
}

STDMETHODIMP FileDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium)
        return E_INVALIDARG;
    if (count_ >= capacity_)
        return E_OUTOFMEMORY;
    FormatEntry& entry = entries_[count_];
    entry.format = *format;
    if (release) {
        entry.medium = *medium;
    } else if (!DuplicateMedium(&entry.medium, format, medium)) {
        entry.medium.tymed = TYMED_NULL;
        return E_OUTOFMEMORY;
    }
    count_++;
    return S_OK;
}

STDMETHODIMP FileDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    FormatEnumerator* formats = FormatEnumerator::Create(capacity_);
    if (!formats)
        return E_OUTOFMEMORY;
    for (int i = 0; i < count_; i++)
        formats->Add(entries_[i].format);
    *out = formats;
    return S_OK;
}

STDMETHODIMP FileDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP FileDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP FileDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

FormatEnumerator* FormatEnumerator::Create(int capacity) {
    FormatEnumerator* formats = new (std::nothrow) FormatEnumerator;
    if (!formats)
        return nullptr;
    formats->formats_ = new (std::nothrow) FORMATETC[capacity > 0 ? capacity : 1];
    if (!formats->formats_) {
        delete formats;
        return nullptr;
    }
    formats->capacity_ = capacity;
    return formats;
}

FormatEnumerator::~FormatEnumerator() {
    delete[] formats_;
}

void FormatEnumerator::Add(const FORMATETC& format) {
    if (count_ < capacity_)
        formats_[count_++] = format;
}

STDMETHODIMP FormatEnumerator::QueryInterface(REFIID id, void** out) {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IEnumFORMATETC)) {
        *out = static_cast<IEnumFORMATETC*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FormatEnumerator::AddRef() {
    return (ULONG)InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) FormatEnumerator::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return (ULONG)left;
}

STDMETHODIMP FormatEnumerator::Next(ULONG wanted, FORMATETC* out, ULONG* fetched) {
    if (fetched)
        *fetched = 0;
    if (wanted == 0 || !out || position_ >= count_ || (!fetched && wanted != 1))
        return S_FALSE;
    ULONG copied = 0;
    while (copied < wanted && position_ < count_)
        out[copied++] = formats_[position_++];
    if (fetched)
        *fetched = copied;
    return copied == wanted ? S_OK : S_FALSE;
}

STDMETHODIMP FormatEnumerator::Skip(ULONG count) {
    if (position_ >= count_)
        return count == 0 ? S_OK : S_FALSE;
    ULONG made = 0;
    while (made < count && position_ < count_) {
        position_++;
        made++;
    }
    return made == count ? S_OK : S_FALSE;
}

STDMETHODIMP FormatEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP FormatEnumerator::Clone(IEnumFORMATETC** out) {
    if (!out)
        return E_POINTER;
    FormatEnumerator* copy = Create(count_);
    if (!copy)
        return E_OUTOFMEMORY;
    for (int i = 0; i < count_; i++)
        copy->Add(formats_[i]);
    copy->position_ = position_;
    *out = copy;
    return S_OK;
}

STDMETHODIMP DropSource::QueryInterface(REFIID id, void** out) {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
        *out = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DropSource::AddRef() {
    return (ULONG)InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) DropSource::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return (ULONG)left;
}

STDMETHODIMP DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    DWORD buttons = keyState & (MK_LBUTTON | MK_RBUTTON);
    if (buttons == (MK_LBUTTON | MK_RBUTTON))
        return DRAGDROP_S_CANCEL;
    if (buttons == 0)
        return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP DropSource::GiveFeedback(DWORD) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
