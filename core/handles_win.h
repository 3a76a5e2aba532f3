// Move-only holders for the Windows handles and objects the program owns, so that every
// path, including an exception, releases them. Windows only.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <oleauto.h>
#include <shellapi.h>
#include <bcrypt.h>
#include <winhttp.h>

#include <memory>
#include <string>
#include <type_traits>

// A kernel handle: files, mutexes, threads. CreateFileW reports failure as
// INVALID_HANDLE_VALUE rather than null, so adoptHandle folds both into an empty holder.
struct KernelHandleClose {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleClose>;

inline UniqueHandle adoptHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// A directory search; FindFirstFileExW also reports failure as INVALID_HANDLE_VALUE.
struct SearchClose {
    void operator()(HANDLE search) const {
        if (search && search != INVALID_HANDLE_VALUE) {
            FindClose(search);
        }
    }
};
using UniqueSearch = std::unique_ptr<void, SearchClose>;

// A GDI object (font, brush, pen, bitmap) that is not selected into a device context.
struct GdiObjectDelete {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDelete>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// A COM interface pointer that holds one reference.
struct ComRelease {
    void operator()(IUnknown* object) const {
        if (object) {
            object->Release();
        }
    }
};
template <typename Interface> using ComPtr = std::unique_ptr<Interface, ComRelease>;

// Memory the shell or COM allocated for us to free (CoTaskMemFree accepts null).
struct TaskMemFree {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
template <typename T> using UniqueTaskMem = std::unique_ptr<T, TaskMemFree>;

// A string COM allocated (SysAllocString) for the program to free, or that it hands on.
struct BstrFree {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

inline UniqueBstr makeBstr(const std::wstring& text) {
    return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

// A VARIANT that VariantClear empties when it goes: a string in it is freed, an interface
// released. Hand out() to a call that fills it; an earlier content is cleared first.
class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* out() {
        VariantClear(&value_);
        return &value_;
    }
    const VARIANT& get() const { return value_; }
    const VARIANT* operator->() const { return &value_; }

  private:
    VARIANT value_;
};

// BCrypt: the algorithm provider outlives every hash made from it, so declare it first.
struct BCryptAlgorithmClose {
    void operator()(BCRYPT_ALG_HANDLE provider) const { BCryptCloseAlgorithmProvider(provider, 0); }
};
struct BCryptHashDestroy {
    void operator()(BCRYPT_HASH_HANDLE hash) const { BCryptDestroyHash(hash); }
};
using UniqueAlgorithm =
    std::unique_ptr<std::remove_pointer_t<BCRYPT_ALG_HANDLE>, BCryptAlgorithmClose>;
using UniqueHash = std::unique_ptr<std::remove_pointer_t<BCRYPT_HASH_HANDLE>, BCryptHashDestroy>;

// WinHTTP session, connection and request handles share one type and one close call; close
// them request first, session last (declare them in that order's reverse).
struct InternetHandleClose {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<void, InternetHandleClose>;

// A dropped-files handle: DragFinish releases the memory the shell handed us.
struct DropFinish {
    void operator()(HDROP drop) const { DragFinish(drop); }
};
using UniqueDrop = std::unique_ptr<std::remove_pointer_t<HDROP>, DropFinish>;

// Selects an object into a device context for one scope and puts the previous one back.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (previous_ && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint and EndPaint around one WM_PAINT, ended on every path, even if drawing throws.
struct PaintScope {
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc = nullptr;
    explicit PaintScope(HWND target) : window(target) { dc = BeginPaint(window, &paint); }
    ~PaintScope() { EndPaint(window, &paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
};
