// The COM objects of a drag: the data (one CF_HDROP block), its format list,
// and the source's answers to the drag loop.
#pragma once
#include <windows.h>
#include <ole2.h>

int DuplicateMedium(STGMEDIUM* destination, const FORMATETC* format, const STGMEDIUM* source);

struct FormatEntry {
    FORMATETC format;
    STGMEDIUM medium;
};

class FileDataObject final : public IDataObject {
  public:
    FileDataObject();
    // Makes room for `capacity` entries, dropping any earlier ones; 0 when out of memory.
    int CreateEntries(int capacity);

    STDMETHODIMP QueryInterface(REFIID id, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP DUnadvise(DWORD connection) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override;

  private:
    ~FileDataObject();
    void DestroyEntries();
    // The first entry serving the format, or null; *result says why not.
    FormatEntry* Match(const FORMATETC* format, HRESULT* result);
    LONG references_;
    FormatEntry* entries_;
    int capacity_;
    int count_;
};

class FormatEnumerator final : public IEnumFORMATETC {
  public:
    // Null when out of memory.
    static FormatEnumerator* Create(int capacity);
    void Add(const FORMATETC& format);

    STDMETHODIMP QueryInterface(REFIID id, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Next(ULONG wanted, FORMATETC* out, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumFORMATETC** out) override;

  private:
    FormatEnumerator() = default;
    ~FormatEnumerator();
    LONG references_ = 1;
    FORMATETC* formats_ = nullptr;
    int capacity_ = 0;
    int position_ = 0;
    int count_ = 0;
};

class DropSource final : public IDropSource {
  public:
    STDMETHODIMP QueryInterface(REFIID id, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

  private:
    LONG references_ = 1;
};
