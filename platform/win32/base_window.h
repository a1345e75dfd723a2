// One base for top-level windows: a static window procedure that keeps `this` from WM_NCCREATE
// on and forwards every message to the derived class's handleMessage. No exception leaves it.
#pragma once

#include <windows.h>

#include "platform/win32/error_boundary.h"

namespace promptella {

template <typename Derived>
class BaseWindow {
 public:
  HWND hwnd() const { return hwnd_; }

 protected:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      self = static_cast<Derived*>(create->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded([&] { return self->handleMessage(message, wParam, lParam); }, LRESULT{0});
  }

  HWND hwnd_ = nullptr;
};

}  // namespace promptella
