// Owners that give back what they hold when they go out of scope, so that no
// early return leaks: kernel handles, folder searches, global memory blocks
// and their locks, COM pointers. None can be copied.
#pragma once
#include <windows.h>
#include <ole2.h>

// A kernel handle (a file, a thread, a process); null and
// INVALID_HANDLE_VALUE hold nothing.
class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle = nullptr) {
        if (Valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

  private:
    HANDLE handle_;
};

// A folder search from FindFirstFile.
class ScopedFind {
  public:
    explicit ScopedFind(HANDLE search) : search_(search) {}
    ~ScopedFind() {
        if (Valid())
            FindClose(search_);
    }
    ScopedFind(const ScopedFind&) = delete;
    ScopedFind& operator=(const ScopedFind&) = delete;

    HANDLE Get() const { return search_; }
    bool Valid() const { return search_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE search_;
};

// A global memory block; Release hands it to whoever takes it over (the
// clipboard, a storage medium).
class ScopedGlobal {
  public:
    explicit ScopedGlobal(HGLOBAL block = nullptr) : block_(block) {}
    ~ScopedGlobal() { Reset(); }
    ScopedGlobal(const ScopedGlobal&) = delete;
    ScopedGlobal& operator=(const ScopedGlobal&) = delete;

    HGLOBAL Get() const { return block_; }
    void Reset() {
        if (block_)
            GlobalFree(block_);
        block_ = nullptr;
    }
    HGLOBAL Release() {
        HGLOBAL block = block_;
        block_ = nullptr;
        return block;
    }

  private:
    HGLOBAL block_;
};

// A global memory block locked for as long as the scope lasts; Bytes() is
// null when the lock failed.
class GlobalLockScope {
  public:
    explicit GlobalLockScope(HGLOBAL block) : block_(block), bytes_(block ? GlobalLock(block) : nullptr) {}
    ~GlobalLockScope() {
        if (bytes_)
            GlobalUnlock(block_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    void* Bytes() const { return bytes_; }

  private:
    HGLOBAL block_;
    void* bytes_;
};

// A storage medium filled by a data object's GetData: ours to release.
class ScopedMedium {
  public:
    explicit ScopedMedium(STGMEDIUM* medium) : medium_(medium) {}
    ~ScopedMedium() { ReleaseStgMedium(medium_); }
    ScopedMedium(const ScopedMedium&) = delete;
    ScopedMedium& operator=(const ScopedMedium&) = delete;

  private:
    STGMEDIUM* medium_;
};

// A COM interface pointer, released once.
template <class T> class ScopedComPtr {
  public:
    explicit ScopedComPtr(T* pointer = nullptr) : pointer_(pointer) {}
    ~ScopedComPtr() { Reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Where a call that hands out a new reference stores it; what was held
    // is released first.
    T** Out() {
        Reset();
        return &pointer_;
    }
    void Reset(T* pointer = nullptr) {
        if (pointer_)
            pointer_->Release();
        pointer_ = pointer;
    }

  private:
    T* pointer_;
};
