// Small owners of Windows handles, so that no function frees a handle on
// several paths: each is released when its owner goes out of scope.
#pragma once

#include <windows.h>

// The one owner of a handle the program made: freed when the owner goes out
// of scope. `Traits` says what the handle is (Value), which values mean none
// and how it is freed (Free returns false, with the last error set, when the
// freeing fails).
template <class Traits>
class Owned {
public:
    using Value = typename Traits::Value;
    explicit Owned(Value value = Value{}) : value_(value) {}
    ~Owned() { Close(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Value get() const { return value_; }
    explicit operator bool() const { return Traits::Valid(value_); }
    // Where a creating call writes the new handle (the owner holds none yet).
    Value* out() { return &value_; }
    // Frees it now; false, with the last error set, when freeing fails (a
    // written file may report its write error only then).
    bool Close() {
        if (!*this) return true;
        const bool ok = Traits::Free(value_);
        value_ = Value{};
        return ok;
    }
    // The handle now belongs to whoever took it (the clipboard, a caller).
    Value Release() {
        const Value value = value_;
        value_ = Value{};
        return value;
    }

private:
    Value value_;
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct GlobalBlockTraits {
    using Value = HGLOBAL;
    static bool Valid(HGLOBAL h) { return h != nullptr; }
    static bool Free(HGLOBAL h) { return GlobalFree(h) == nullptr; }
};
struct GdiObjectTraits {
    using Value = HGDIOBJ;
    static bool Valid(HGDIOBJ h) { return h != nullptr; }
    static bool Free(HGDIOBJ h) { return DeleteObject(h) != FALSE; }
};
struct CreatedDCTraits {
    using Value = HDC;
    static bool Valid(HDC h) { return h != nullptr; }
    static bool Free(HDC h) { return DeleteDC(h) != FALSE; }
};
struct RegistryKeyTraits {
    using Value = HKEY;
    static bool Valid(HKEY h) { return h != nullptr; }
    static bool Free(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};

// A kernel handle (a file, ...); null and INVALID_HANDLE_VALUE both mean none.
using ScopedHandle = Owned<KernelHandleTraits>;
// A global memory block, freed unless it was handed over (to the clipboard).
using ScopedGlobal = Owned<GlobalBlockTraits>;
// A GDI object the owner created (a font, a bitmap), deleted with it.
using ScopedGdiObject = Owned<GdiObjectTraits>;
// A device context the owner created (CreateDC, a printer's), deleted with it.
using ScopedCreatedDC = Owned<CreatedDCTraits>;
// An open registry key.
using ScopedRegistryKey = Owned<RegistryKeyTraits>;

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

