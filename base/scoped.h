// Small owners of Windows handles, so that no function frees a handle on
// several paths: each is released when its owner goes out of scope.
#pragma once

#include <windows.h>

// A kernel handle (a file, ...); null and INVALID_HANDLE_VALUE both mean none.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    // Closes it now; false, with the last error set, when closing fails (a
    // written file may report its write error only then).
    bool Close() {
        if (!*this) return true;
        const bool ok = CloseHandle(handle_) != FALSE;
        handle_ = nullptr;
        return ok;
    }

private:
    HANDLE handle_;
};

// A window's device context.
class ScopedDC {
public:
    explicit ScopedDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedDC(const ScopedDC&) = delete;
    ScopedDC& operator=(const ScopedDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A GDI object selected into a context; the one it replaced comes back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A global memory block, freed unless it was handed over (to the clipboard).
class ScopedGlobal {
public:
    ScopedGlobal(UINT flags, SIZE_T size) : block_(GlobalAlloc(flags, size)) {}
    ~ScopedGlobal() {
        if (block_) GlobalFree(block_);
    }
    ScopedGlobal(const ScopedGlobal&) = delete;
    ScopedGlobal& operator=(const ScopedGlobal&) = delete;
    HGLOBAL get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    // The block now belongs to whoever took it.
    HGLOBAL Release() {
        HGLOBAL block = block_;
        block_ = nullptr;
        return block;
    }

private:
    HGLOBAL block_;
};

// A global block locked for as long as the owner lives.
template <class T>
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL block)
        : block_(block), data_(block ? static_cast<T*>(GlobalLock(block)) : nullptr) {}
    ~ScopedGlobalLock() {
        if (data_) GlobalUnlock(block_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    T* get() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    HGLOBAL block_;
    T* data_;
};

// A GDI object the owner created (a font, a bitmap), deleted with it.
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(HGDIOBJ object) : object_(object) {}
    ~ScopedGdiObject() {
        if (object_) DeleteObject(object_);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    HGDIOBJ get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    HGDIOBJ object_;
};

// A device context the owner created (CreateDC, a printer's), deleted with it.
class ScopedCreatedDC {
public:
    explicit ScopedCreatedDC(HDC dc) : dc_(dc) {}
    ~ScopedCreatedDC() {
        if (dc_) DeleteDC(dc_);
    }
    ScopedCreatedDC(const ScopedCreatedDC&) = delete;
    ScopedCreatedDC& operator=(const ScopedCreatedDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};
