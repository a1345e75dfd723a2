// RAII owners for Win32 handles.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace promptella {

// Frees a handle with the system's `free` when its owner goes; a null handle is none.
template <auto free>
struct Freer {
  template <typename Handle>
  void operator()(Handle handle) const {
    if (handle) free(handle);
  }
};
template <typename Handle, auto free>
using UniqueOwned = std::unique_ptr<std::remove_pointer_t<Handle>, Freer<free>>;

// A kernel handle; INVALID_HANDLE_VALUE is taken as none.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle)
      : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  HANDLE get() const { return handle_.get(); }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() { handle_.reset(); }

 private:
  UniqueOwned<HANDLE, CloseHandle> handle_;
};

using UniqueFont = UniqueOwned<HFONT, DeleteObject>;
using UniqueBitmap = UniqueOwned<HBITMAP, DeleteObject>;
using UniqueBrush = UniqueOwned<HBRUSH, DeleteObject>;
using UniquePen = UniqueOwned<HPEN, DeleteObject>;
using UniqueIcon = UniqueOwned<HICON, DestroyIcon>;
using UniqueCursor = UniqueOwned<HCURSOR, DestroyCursor>;
using UniqueAccelerators = UniqueOwned<HACCEL, DestroyAcceleratorTable>;
using UniqueWindow = UniqueOwned<HWND, DestroyWindow>;

// Selects `object` into `dc` for the guard's life, then puts back what was selected before.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~ScopedSelect() { SelectObject(dc_, old_); }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The device context of `window` (the screen's for null), released when the guard goes.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDC() { ReleaseDC(window_, dc_); }
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace promptella
